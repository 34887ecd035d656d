#include "platform/wayland/PortalScreenshot.h"
#include "platform/PictureDecoder.h"
#include "platform/TimingTrace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFile>
#include <QMetaObject>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>
#include <utility>

namespace kamsulo::platform {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString screenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// How long the portal may take: a desktop that shows a permission question and gets
// no answer gives up after 25 s without any Response; a window chosen by the user may
// take a while.
constexpr int answerTimeoutMs = 30'000;
constexpr int interactiveTimeoutMs = 300'000;

// The Response's codes.
enum class PortalResponse : uint { Success = 0, Cancelled = 1, Other = 2 };

// The answer to "Allow Applications to Take Screenshots?" is kept in the desktop's
// permission store, which the desktops' settings show for sandboxed programs: for this
// one the sure way back to "yes" is that store's own call.
const char* const refusedText =
    "Die Arbeitsumgebung hat das Bildschirmfoto nicht erlaubt.\n\n"
    "Sie fragt einmal, ob Kamsulo Bildschirmfotos aufnehmen darf, und merkt sich eine "
    "Ablehnung. Erlauben lässt es sich dann im Terminal mit:\n\n"
    "gdbus call --session -d org.freedesktop.impl.portal.PermissionStore "
    "-o /org/freedesktop/impl/portal/PermissionStore "
    "-m org.freedesktop.impl.portal.PermissionStore.SetPermission "
    "screenshot true screenshot \"\" \"['yes']\"";
const char* const noPortalText = "Kein Bildschirmfoto möglich: Die Arbeitsumgebung bietet "
                                 "keinen Dienst dafür an (xdg-desktop-portal fehlt).";
const char* const noAnswerText =
    "Kein Bildschirmfoto möglich: Die Arbeitsumgebung hat nicht rechtzeitig geantwortet. "
    "Falls sie gefragt hat, ob Kamsulo Bildschirmfotos aufnehmen darf: bitte erlauben und "
    "noch einmal versuchen.";
const char* const cancelledText = "Kein Bildschirmfoto: Die Auswahl wurde abgebrochen.";
const char* const unreadableText = "Das Bildschirmfoto der Arbeitsumgebung ließ sich nicht lesen.";

} // namespace

PortalScreenshot::PortalScreenshot(bool interactive, QImage memory, QObject* parent)
    : QObject(parent), interactive_(interactive), memory_(std::move(memory)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        finish({{}, QString::fromUtf8(noAnswerText)});
    });
    if (!bus.isConnected()) {
        // Told on the next turn, as every answer is.
        QMetaObject::invokeMethod(
            this,
            [this] {
                finish({{}, QString::fromUtf8(noPortalText)});
            },
            Qt::QueuedConnection);
        return;
    }

    // The Request's path is known before the call: subscribing first cannot miss an
    // answer that comes quickly.
    static uint serial = 0;
    const QString token = QStringLiteral("kamsulo%1").arg(++serial);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString predicted = QStringLiteral("%1/request/%2/%3").arg(portalPath, sender, token);
    listen(predicted);

    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, screenshotInterface, QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), interactive}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, predicted] {
        watcher->deleteLater();
        QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            qWarning("portal: %s", qPrintable(reply.error().message()));
            return finish({{}, QString::fromUtf8(noPortalText)});
        }
        // Portals older than the predicted path answer on a path of their own.
        if (reply.value().path() != predicted) listen(reply.value().path());
    });
    timeout_.start(interactive ? interactiveTimeoutMs : answerTimeoutMs);
}

PortalScreenshot::~PortalScreenshot() {
    if (!pending_ || path_.isEmpty()) return;
    // The portal's dialog (or its question) goes with the request.
    QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        portalService, path_, requestInterface, QStringLiteral("Close")));
}

void PortalScreenshot::listen(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!path_.isEmpty())
        bus.disconnect(portalService, path_, requestInterface, QStringLiteral("Response"), this,
                       SLOT(onResponse(uint, QVariantMap)));
    path_ = path;
    bus.connect(portalService, path_, requestInterface, QStringLiteral("Response"), this,
                SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenshot::finish(const PortalShot& shot) {
    if (!pending_) return;
    pending_ = false;
    timeout_.stop();
    if (!path_.isEmpty())
        QDBusConnection::sessionBus().disconnect(portalService, path_, requestInterface,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(onResponse(uint, QVariantMap)));
    emit answered(shot);
}

void PortalScreenshot::onResponse(uint response, const QVariantMap& results) {
    if (!pending_) return;
    traceTiming("portal-answered");
    if (response != uint(PortalResponse::Success)) {
        if (interactive_ && response == uint(PortalResponse::Cancelled))
            return finish({{}, QString::fromUtf8(cancelledText)});
        return finish({{}, QString::fromUtf8(refusedText)});
    }
    const QString file = QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
    QFile in(file);
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
    in.close();
    QFile::remove(file);
    QImage picture = decodeDesktopPicture(bytes, std::move(memory_));
    traceTiming("portal-picture-read");
    if (picture.isNull()) return finish({{}, QString::fromUtf8(unreadableText)});
    finish({picture, {}});
}

PortalShot portalScreenshot(bool interactive, QImage memory) {
    PortalScreenshot request(interactive, std::move(memory));
    PortalShot shot;
    QEventLoop loop;
    QObject::connect(&request, &PortalScreenshot::answered, &loop, [&](const PortalShot& s) {
        shot = s;
        loop.quit();
    });
    loop.exec();
    return shot;
}

} // namespace kamsulo::platform
