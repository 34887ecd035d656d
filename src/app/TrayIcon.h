#pragma once
// The notification-area icon that stands in for the minimised main window, and its
// menu. The menu opens when the left button is released over the icon; nothing else
// on the icon opens it. While the icon is shown, the notification area is watched:
// when it goes away (its host ended), the icon can no longer be reached and says so.
#include "platform/NotificationArea.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

namespace kamsulo::app {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum class Entry { Region, Screen, Window, ShowWindow, Exit };

    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);

    // Whether the desktop has a notification area to put the icon in.
    static bool available();

    void add();
    void remove();
    bool isShown() const { return icon_.isVisible(); }
    QMenu& menu() { return menu_; }

signals:
    void chosen(kamsulo::app::TrayIcon::Entry entry);
    // The shown icon's notification area went away; the icon has been removed.
    void lost();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    QMenu menu_;
    // A left press on the icon waits for its release before the menu opens.
    bool awaitingRelease_ = false;
    platform::NotificationAreaWatch areaWatch_;
};

} // namespace kamsulo::app
