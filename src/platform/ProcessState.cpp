#include "platform/ProcessState.h"

#include <QByteArray>
#include <QFile>

namespace kamsulo::platform {

bool processRunning(qint64 pid) {
    if (pid <= 0) return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    // "pid (name) state ...": the name may hold anything, so the state follows the last ')'.
    const QByteArray line = stat.readLine();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size()) return false;
    const char state = line.at(close + 2);
    return state != 'Z' && state != 'X';
}

} // namespace kamsulo::platform
