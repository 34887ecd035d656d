#include "platform/NotificationArea.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSystemTrayIcon>

namespace kamsulo::platform {

namespace {

const QString kStatusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

bool statusNotifierHostRuns() {
    const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(kStatusNotifierWatcher);
}

} // namespace

NotificationAreaWatch::NotificationAreaWatch(QObject* parent)
    : QObject(parent), hostWatch_(kStatusNotifierWatcher, QDBusConnection::sessionBus(),
                                  QDBusServiceWatcher::WatchForUnregistration) {
    connect(&hostWatch_, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        stop();
        emit gone();
    });
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, &NotificationAreaWatch::checkEmbeddingTray);
    stop();
}

void NotificationAreaWatch::start() {
    // The icon lives where Qt put it: with a host of status notifier items when one
    // runs, else in a tray that embeds it. Asking Qt itself while the icon is a status
    // notifier item would cost a bus connection each time.
    if (statusNotifierHostRuns())
        hostWatch_.blockSignals(false);
    else
        trayWatch_.start();
}

void NotificationAreaWatch::stop() {
    hostWatch_.blockSignals(true);
    trayWatch_.stop();
}

void NotificationAreaWatch::checkEmbeddingTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) return;
    stop();
    emit gone();
}

} // namespace kamsulo::platform
