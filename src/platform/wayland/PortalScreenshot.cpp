#include "platform/wayland/PortalScreenshot.h"
#include "platform/PictureDecoder.h"
#include "platform/TimingTrace.h"
#include "platform/wayland/DesktopBound.h"
#include "platform/wayland/PortalFile.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QMap>
#include <QMetaObject>
#include <QStringList>
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
// How long withdrawing a request, or a look into the permission store, may take.
constexpr int storeTimeoutMs = 5'000;
// What the portal's file may hold beyond 4 bytes a pixel of the largest desktop.
constexpr qint64 fileHeadroomBytes = 1 << 20;

// The Response's codes.
enum class PortalResponse : uint { Success = 0, Cancelled = 1, Other = 2 };

// The answer to "Allow Applications to Take Screenshots?" is kept in the desktop's
// permission store, which the desktops' settings show for sandboxed programs: for this
// one the sure way back to "yes" is that store's own call. Only GNOME's portal asks.
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
const char* const failedText = "Die Arbeitsumgebung konnte das Bildschirmfoto nicht aufnehmen.";
const char* const cancelledText = "Kein Bildschirmfoto: Die Auswahl wurde abgebrochen.";
const char* const unreadableText = "Das Bildschirmfoto der Arbeitsumgebung ließ sich nicht lesen.";

// Whether the portal asks before the first screenshot without a dialog and keeps the
// answer in the permission store: GNOME's does. Elsewhere the store is not consulted.
bool desktopAsksPermission() {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    return desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
}

// Whether the permission store holds a "no" to screenshots for programs outside a
// sandbox, which the portal then answers with a refusal at once.
bool storedDenial(QDBusConnection& bus) {
    QDBusMessage lookup = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"),
        QStringLiteral("/org/freedesktop/impl/portal/PermissionStore"),
        QStringLiteral("org.freedesktop.impl.portal.PermissionStore"), QStringLiteral("Lookup"));
    lookup << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    const QDBusMessage reply = bus.call(lookup, QDBus::Block, storeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const auto apps = qdbus_cast<QMap<QString, QStringList>>(reply.arguments().constFirst());
    return apps.value(QString()).contains(QStringLiteral("no"));
}

// Why the portal answered without a picture. A screenshot without a dialog involves the
// user only where the desktop asks for permission: a refusal is a denial when the store
// holds one, and the desktop's failure otherwise (a tool that failed, a folder that it
// could not write to).
QString refusalText(QDBusConnection& bus, bool interactive, uint code) {
    if (interactive && code == uint(PortalResponse::Cancelled))
        return QString::fromUtf8(cancelledText);
    if (!interactive && desktopAsksPermission() && storedDenial(bus))
        return QString::fromUtf8(refusedText);
    return QString::fromUtf8(failedText);
}

// Withdraws a request that is no longer waited for, so that the desktop takes down what
// it still shows for it, where the portal passes the Close on (xdg-desktop-portal 1.16
// does not for its permission question, which then stays until it is answered).
void closeRequest(const QString& path) {
    QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
        portalService, path, requestInterface, QStringLiteral("Close")));
}

// The most that the portal's file may hold.
qint64 fileLimit() {
    const QSize largest = largestDesktopPicture();
    return qint64(largest.width()) * largest.height() * 4 + fileHeadroomBytes;
}

} // namespace

PortalScreenshot::PortalScreenshot(bool interactive, QImage memory, QObject* parent)
    : QObject(parent), interactive_(interactive), memory_(std::move(memory)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    timeout_.setSingleShot(true);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        if (!path_.isEmpty()) closeRequest(path_);
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
    closeRequest(path_);
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
        QDBusConnection bus = QDBusConnection::sessionBus();
        return finish({{}, refusalText(bus, interactive_, response)});
    }
    const QString file = QUrl(results.value(QStringLiteral("uri")).toString()).toLocalFile();
    const std::optional<QByteArray> bytes = takePortalFile(file, fileLimit());
    QImage picture = bytes ? decodeDesktopPicture(*bytes, std::move(memory_)) : QImage();
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
