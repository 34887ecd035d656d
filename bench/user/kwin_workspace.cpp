// KDE Plasma's own fastest way to a picture of the desktop, for bench/user/run-wayland:
// KWin's org.kde.KWin.ScreenShot2 CaptureWorkspace, timed from the call to the last
// pixel read from its pipe. One capture per line read from stdin; each prints its
// seconds, or "refused" while KWin does not authorise this program.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QElapsedTimer>
#include <QVariantMap>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

// Seconds for one capture; negative when KWin refused or sent less than it described.
double capture() {
    QElapsedTimer clock;
    clock.start();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    QDBusMessage reply;
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("/org/kde/KWin/ScreenShot2"),
            QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureWorkspace"));
        call << QVariantMap{{QStringLiteral("native-resolution"), true}}
             << QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1]));
        ::close(pipeEnds[1]);
        reply = QDBusConnection::sessionBus().call(call);
    }
    qint64 wanted = -1;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const QVariantMap raw = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        wanted = raw.value(QStringLiteral("stride")).toLongLong() *
                 raw.value(QStringLiteral("height")).toLongLong();
    }
    static char buffer[1 << 20];
    qint64 got = 0;
    while (wanted > 0 && got < wanted) {
        const ssize_t n = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        got += n;
    }
    ::close(pipeEnds[0]);
    return wanted > 0 && got >= wanted ? clock.nsecsElapsed() / 1e9 : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string line;
    while (std::getline(std::cin, line)) {
        const double seconds = capture();
        if (seconds < 0)
            std::printf("refused\n");
        else
            std::printf("%.6f\n", seconds);
        std::fflush(stdout);
    }
    return 0;
}
