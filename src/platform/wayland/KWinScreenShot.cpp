#include "platform/wayland/KWinScreenShot.h"
#include "platform/TimingTrace.h"
#include "platform/wayland/DesktopBound.h"
#include "platform/wayland/KWinPixels.h"
#include "platform/wayland/PreparedPicture.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace kamsulo::platform {

namespace {

const QString service = QStringLiteral("org.kde.KWin.ScreenShot2");
const QString notAuthorizedError = QStringLiteral("org.kde.KWin.ScreenShot2.Error.NoAuthorized");
// A capture takes well under a second; KWin may be busy repainting.
constexpr int answerTimeoutMs = 10'000;
constexpr int pipeBytes = 1 << 20; // what a user may ask for by default

// A window comes with its shadow, which is never opaque: the frame is the bounding box
// of the opaque pixels. Pictures without alpha are whole.
QImage withoutShadow(const QImage& picture) {
    if (!picture.hasAlphaChannel()) return picture;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    int left = argb.width(), right = -1, top = argb.height(), bottom = -1;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    if (right < 0) return picture;
    return picture.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}

// Reads `size` bytes from the pipe into `to`; false when KWin closes it early or stays
// silent too long.
bool readPixels(int fd, uchar* to, qsizetype size) {
    qsizetype got = 0;
    while (got < size) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, answerTimeoutMs) <= 0) return false;
        const ssize_t n = ::read(fd, to + got, size_t(size - got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += n;
    }
    return true;
}

// One capture method: the options and the pipe's write end go in, the answer describes
// raw pixels, which follow through the pipe. `expected`: the picture's likely size.
KWinShot capture(const QString& method, QSize expected = {}) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    const int in = pipeEnds[0];
    // A larger pipe lets KWin write a picture in fewer turns; the default serves too.
    ::fcntl(in, F_SETPIPE_SZ, pipeBytes);
    PreparedPicture ahead(expected, QImage::Format_ARGB32_Premultiplied);
    QDBusMessage reply;
    {
        // The message keeps a copy of the write end as long as it lives.
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/kde/KWin/ScreenShot2"), service, method);
        call << QVariantMap{{QStringLiteral("include-decoration"), true},
                            {QStringLiteral("include-cursor"), false},
                            {QStringLiteral("native-resolution"), true}}
             << QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1]));
        ::close(pipeEnds[1]);
        reply = QDBusConnection::sessionBus().call(call, QDBus::Block, answerTimeoutMs);
    }
    traceTiming("kwin-answered");
    const auto closeAndReturn = [in](KWinShot shot) {
        ::close(in);
        return shot;
    };
    if (reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == notAuthorizedError)
        return closeAndReturn({KWinAnswer::NotAuthorized, {}});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return closeAndReturn({});
    const std::optional<KWinPixels> pixels = kwinPixels(
        qdbus_cast<QVariantMap>(reply.arguments().constFirst()), largestDesktopPicture());
    if (!pixels) return closeAndReturn({});
    const auto [width, height, stride, format] = *pixels;
    // Straight into the picture when its lines are as long as KWin's.
    QImage picture = ahead.take();
    if (picture.size() == QSize(width, height) && picture.bytesPerLine() == stride &&
        QImage::toPixelFormat(format).bitsPerPixel() == 32)
        picture.reinterpretAsFormat(format);
    else
        picture = QImage(width, height, format);
    QByteArray lines;
    const bool direct = !picture.isNull() && picture.bytesPerLine() == stride;
    if (!direct) lines.resize(pixels->bytes());
    const bool read =
        !picture.isNull() &&
        readPixels(in, direct ? picture.bits() : reinterpret_cast<uchar*>(lines.data()),
                   pixels->bytes());
    ::close(in);
    traceTiming("kwin-pixels-read");
    if (!read) return {};
    if (!direct) {
        const qsizetype lineBytes = std::min<qsizetype>(stride, picture.bytesPerLine());
        for (int y = 0; y < height; ++y)
            std::memcpy(picture.scanLine(y), lines.constData() + qsizetype(y) * stride,
                        size_t(lineBytes));
    }
    return {KWinAnswer::Taken, picture};
}

} // namespace

KWinShot kwinActiveWindow() {
    KWinShot shot = capture(QStringLiteral("CaptureActiveWindow"));
    if (shot.answer == KWinAnswer::Taken)
        shot.picture = withoutShadow(shot.picture).convertToFormat(QImage::Format_RGB32);
    return shot;
}

KWinShot kwinWorkspace(QSize expected) {
    KWinShot shot = capture(QStringLiteral("CaptureWorkspace"), expected);
    if (shot.answer == KWinAnswer::Taken) shot.picture.convertTo(QImage::Format_RGB32);
    return shot;
}

} // namespace kamsulo::platform
