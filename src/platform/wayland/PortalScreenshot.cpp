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
constexpr int closeTimeoutMs = 5'000;
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
void closeRequest(QDBusConnection& bus, const QString& path) {
    bus.call(QDBusMessage::createMethodCall(portalService, path, requestInterface,
                                            QStringLiteral("Close")),
             QDBus::Block, closeTimeoutMs);
}

// The most that the portal's file may hold.
qint64 fileLimit() {
    const QSize largest = largestDesktopPicture();
    return qint64(largest.width()) * largest.height() * 4 + fileHeadroomBytes;
}

} // namespace

// Receives the Request's one Response signal.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    QEventLoop loop;
    bool answered = false;
    uint code = uint(PortalResponse::Other);
    QVariantMap results;

public slots:
    void onResponse(uint response, const QVariantMap& answer) {
        answered = true;
        code = response;
        results = answer;
        loop.quit();
    }
};

PortalShot portalScreenshot(bool interactive, QImage memory) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return {{}, QString::fromUtf8(noPortalText)};

    // The Request's path is known before the call: subscribing first cannot miss an
    // answer that comes quickly.
    static uint serial = 0;
    const QString token = QStringLiteral("kamsulo%1").arg(++serial);
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString predicted = QStringLiteral("%1/request/%2/%3").arg(portalPath, sender, token);
    QString requestPath = predicted;

    PortalRequest request;
    const auto listen = [&](const QString& path) {
        bus.connect(portalService, path, requestInterface, QStringLiteral("Response"), &request,
                    SLOT(onResponse(uint, QVariantMap)));
    };
    listen(predicted);

    QDBusMessage call = QDBusMessage::createMethodCall(
        portalService, portalPath, screenshotInterface, QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), interactive}};
    QDBusPendingCallWatcher watcher(bus.asyncCall(call));
    QString failure;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &request, [&] {
        QDBusPendingReply<QDBusObjectPath> reply = watcher;
        if (reply.isError()) {
            failure = QString::fromUtf8(noPortalText);
            request.loop.quit();
            return;
        }
        // Portals older than the predicted path answer on a path of their own.
        if (reply.value().path() != predicted) {
            requestPath = reply.value().path();
            listen(requestPath);
        }
    });
    QTimer::singleShot(interactive ? interactiveTimeoutMs : answerTimeoutMs, &request.loop,
                       &QEventLoop::quit);
    request.loop.exec();
    traceTiming("portal-answered");

    if (!failure.isEmpty()) return {{}, failure};
    if (!request.answered) {
        closeRequest(bus, requestPath);
        return {{}, QString::fromUtf8(noAnswerText)};
    }
    if (request.code != uint(PortalResponse::Success))
        return {{}, refusalText(bus, interactive, request.code)};
    const QString file =
        QUrl(request.results.value(QStringLiteral("uri")).toString()).toLocalFile();
    const std::optional<QByteArray> bytes = takePortalFile(file, fileLimit());
    QImage picture = bytes ? decodeDesktopPicture(*bytes, std::move(memory)) : QImage();
    traceTiming("portal-picture-read");
    if (picture.isNull()) return {{}, QString::fromUtf8(unreadableText)};
    return {picture, {}};
}

} // namespace kamsulo::platform

#include "PortalScreenshot.moc"
