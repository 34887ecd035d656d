#include "platform/NotificationArea.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QSystemTrayIcon>

namespace kamsulo::platform {

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
// A watcher that hangs must not hold up the window for long.
constexpr int kWatcherAnswerMs = 2000;

QDBusMessage hostRegisteredQuestion() {
    return QDBusMessage::createMethodCall(kWatcher, kWatcherPath,
                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                          QStringLiteral("Get"))
           << kWatcher << QStringLiteral("IsStatusNotifierHostRegistered");
}

// The hosts' own names on the bus: org.kde.StatusNotifierHost-<pid>[-<n>], or with
// freedesktop's prefix.
QStringList hostNames() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    QStringList found;
    if (!bus) return found;
    for (const QString& name : bus->registeredServiceNames().value())
        if (name.startsWith(QLatin1String("org.kde.StatusNotifierHost-")) ||
            name.startsWith(QLatin1String("org.freedesktop.StatusNotifierHost-")))
            found.append(name);
    return found;
}

} // namespace

bool statusNotifierHostRegistered() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus || !bus->isServiceRegistered(kWatcher)) return false;
    const QDBusMessage answer = QDBusConnection::sessionBus().call(hostRegisteredQuestion(),
                                                                   QDBus::Block, kWatcherAnswerMs);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty() &&
           answer.arguments().first().value<QDBusVariant>().variant().toBool();
}

NotificationAreaWatch::NotificationAreaWatch(QObject* parent)
    : QObject(parent), watcherWatch_(kWatcher, QDBusConnection::sessionBus(),
                                     QDBusServiceWatcher::WatchForUnregistration) {
    hostWatch_.setConnection(QDBusConnection::sessionBus());
    hostWatch_.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(&watcherWatch_, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        if (watched_ == Area::StatusNotifierHost) lose();
    });
    connect(&hostWatch_, &QDBusServiceWatcher::serviceUnregistered, this,
            &NotificationAreaWatch::checkHosts);
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kWatcher, kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostUnregistered"),
                this, SLOT(checkHosts()));
    bus.connect(kWatcher, kWatcherPath, kWatcher, QStringLiteral("StatusNotifierHostRegistered"),
                this, SLOT(watchHostNames()));
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, &NotificationAreaWatch::checkEmbeddingTray);
}

void NotificationAreaWatch::start() {
    // The icon lives where Qt put it: with a host of status notifier items when one
    // runs, else in a tray that embeds it. Asking Qt itself while the icon is a status
    // notifier item would cost a bus connection each time.
    stop();
    if (statusNotifierHostRegistered()) {
        watched_ = Area::StatusNotifierHost;
        namedHosts_ = false;
        watchHostNames();
    } else {
        watched_ = Area::EmbeddingTray;
        trayWatch_.start();
    }
}

void NotificationAreaWatch::stop() {
    watched_ = Area::None;
    hostWatch_.setWatchedServices({});
    trayWatch_.stop();
}

void NotificationAreaWatch::lose() {
    stop();
    emit gone();
}

void NotificationAreaWatch::watchHostNames() {
    if (watched_ != Area::StatusNotifierHost) return;
    const QStringList names = hostNames();
    hostWatch_.setWatchedServices(names);
    namedHosts_ = namedHosts_ || !names.isEmpty();
}

void NotificationAreaWatch::checkHosts() {
    if (watched_ != Area::StatusNotifierHost) return;
    watchHostNames();
    if (namedHosts_ && hostWatch_.watchedServices().isEmpty()) {
        lose();
        return;
    }
    auto* answer = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(hostRegisteredQuestion(), kWatcherAnswerMs), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this, answer] {
        answer->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *answer;
        // No answer at all is no word that the host has gone: the watcher's own end
        // is seen by its name.
        if (watched_ == Area::StatusNotifierHost && reply.isValid() &&
            !reply.value().variant().toBool())
            lose();
    });
}

void NotificationAreaWatch::checkEmbeddingTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) lose();
}

} // namespace kamsulo::platform
