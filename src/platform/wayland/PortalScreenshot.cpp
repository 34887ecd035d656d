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
            qWarning("portal: %s", qPrintable(reply.error().message()));
            failure = QString::fromUtf8(noPortalText);
            request.loop.quit();
            return;
        }
        // Portals older than the predicted path answer on a path of their own.
        if (reply.value().path() != predicted) listen(reply.value().path());
    });
    QTimer::singleShot(interactive ? interactiveTimeoutMs : answerTimeoutMs, &request.loop,
                       &QEventLoop::quit);
    request.loop.exec();
    traceTiming("portal-answered");

    if (!failure.isEmpty()) return {{}, failure};
    if (!request.answered) return {{}, QString::fromUtf8(noAnswerText)};
    if (request.code != uint(PortalResponse::Success)) {
        if (interactive && request.code == uint(PortalResponse::Cancelled))
            return {{}, QString::fromUtf8(cancelledText)};
        return {{}, QString::fromUtf8(refusedText)};
    }
    const QString file =
        QUrl(request.results.value(QStringLiteral("uri")).toString()).toLocalFile();
    QFile in(file);
    QByteArray bytes;
    if (in.open(QIODevice::ReadOnly)) bytes = in.readAll();
    in.close();
    QFile::remove(file);
    QImage picture = decodeDesktopPicture(bytes, std::move(memory));
    traceTiming("portal-picture-read");
    if (picture.isNull()) return {{}, QString::fromUtf8(unreadableText)};
    return {picture, {}};
}

} // namespace kamsulo::platform

#include "PortalScreenshot.moc"
