#include "platform/wayland/KWinScreenShot.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QVariantMap>
#include <fcntl.h>
#include <unistd.h>

namespace kamsulo::platform {

QImage kwinActiveWindow() {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    QFile in;
    if (!in.open(pipeEnds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return {};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("/org/kde/KWin/ScreenShot2"),
        QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureActiveWindow"));
    call << QVariantMap{{QStringLiteral("include-decoration"), true},
                        {QStringLiteral("include-cursor"), false},
                        {QStringLiteral("native-resolution"), true}}
         << QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1]));
    ::close(pipeEnds[1]); // the message holds its own copy
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    // The answer describes raw pixels, which follow through the pipe until KWin closes it.
    const QVariantMap raw = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
    const int width = raw.value(QStringLiteral("width")).toInt();
    const int height = raw.value(QStringLiteral("height")).toInt();
    const int stride = raw.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(raw.value(QStringLiteral("format")).toUInt());
    const QByteArray pixels = in.readAll();
    if (width <= 0 || height <= 0 || stride <= 0 || pixels.size() < qsizetype(stride) * height)
        return {};
    const QImage view(reinterpret_cast<const uchar*>(pixels.constData()), width, height, stride,
                      format);
    return view.convertToFormat(QImage::Format_RGB32);
}

} // namespace kamsulo::platform
