#include "FuzzSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace kamsulo::fuzz {

void startQt() {
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Damaged files make the readers complain on every input.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "kamsulo-fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the fuzzer ends the process from anywhere.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    Q_UNUSED(app);
}

QString scratchDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kamsulo-fuzz-XXXXXX"));
    check(dir.isValid(), "scratch folder", dir.errorString());
    return dir.path();
}

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "\n*** invariant broken: %s %s\n", what, qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

} // namespace kamsulo::fuzz
