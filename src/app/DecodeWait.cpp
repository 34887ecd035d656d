#include "app/DecodeWait.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

namespace kamsulo::app {

namespace {
// A shorter wait goes unnoticed, and a cursor that flickers would be noticed.
constexpr int BusyCursorAfterMs = 300;
} // namespace

void waitForDecoder(const imaging::DecoderProcess& process) {
    QEventLoop loop;
    QSocketNotifier done(qintptr(process.doneFd), QSocketNotifier::Read);
    QObject::connect(&done, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(process.timeoutMs);
    bool busy = false;
    QTimer cursor;
    cursor.setSingleShot(true);
    QObject::connect(&cursor, &QTimer::timeout, &loop, [&busy] {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
        busy = true;
    });
    cursor.start(BusyCursorAfterMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (busy) QGuiApplication::restoreOverrideCursor();
}

} // namespace kamsulo::app
