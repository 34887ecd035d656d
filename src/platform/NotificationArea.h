#pragma once
// Watches the desktop's notification area while an icon is shown in it, and says when
// it has gone (its host ended or crashed), so that a window hidden behind the icon is
// not left out of reach.
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

namespace kamsulo::platform {

// Whether a host of status notifier items has registered with the watcher, so that an
// item put up now is shown.
bool statusNotifierHostRegistered();

class NotificationAreaWatch : public QObject {
    Q_OBJECT
public:
    explicit NotificationAreaWatch(QObject* parent = nullptr);

    // Starts watching the area that shows the icon now; stop() ends it.
    void start();
    void stop();

signals:
    void gone();

private slots:
    // A host went away, or the watcher said so: is any left?
    void checkHosts();
    void watchHostNames();

private:
    enum class Area { None, StatusNotifierHost, EmbeddingTray };

    void lose();
    void checkEmbeddingTray();

    Area watched_ = Area::None;
    // Status notifier items are shown by hosts that register with a watcher, which
    // may live in another process (KDE's lives in kded, beside the panel): the watcher
    // ending, a host's own bus name going and the watcher's word that a host has gone
    // are each reported as they happen.
    QDBusServiceWatcher watcherWatch_;
    QDBusServiceWatcher hostWatch_;
    // The hosts had names of the usual form when the watch started: when the last of
    // them has gone, none is left, whatever a watcher that missed it still says.
    bool namedHosts_ = false;
    // A tray that embeds icons is an X selection's owner: looked at now and then, which
    // costs a round trip to the X server.
    QTimer trayWatch_;
    static constexpr int kTrayWatchMs = 250;
};

} // namespace kamsulo::platform
