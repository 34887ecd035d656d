#pragma once
// Watches the desktop's notification area while an icon is shown in it, and says when
// it has gone (its host ended or crashed), so that a window hidden behind the icon is
// not left out of reach.
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

namespace kamsulo::platform {

class NotificationAreaWatch : public QObject {
    Q_OBJECT
public:
    explicit NotificationAreaWatch(QObject* parent = nullptr);

    // Starts watching the area that shows the icon now; stop() ends it.
    void start();
    void stop();

signals:
    void gone();

private:
    void checkEmbeddingTray();

    // A host of status notifier items announces and withdraws itself on the session
    // bus: its end is reported as it happens.
    QDBusServiceWatcher hostWatch_;
    // A tray that embeds icons is an X selection's owner: looked at now and then, which
    // costs a round trip to the X server.
    QTimer trayWatch_;
    static constexpr int kTrayWatchMs = 250;
};

} // namespace kamsulo::platform
