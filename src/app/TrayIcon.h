#pragma once
// The notification-area icon that stands in for the minimised main window, and its
// menu. On X11 the menu is the program's own popup: it opens when the left button is
// released over the icon; nothing else on the icon opens it. On Wayland, where a
// program cannot open a popup without a window on the screen, the same menu is handed
// to the status notifier host, which shows it on a left click (and, with some hosts,
// on a right click too). While the icon is shown, the notification area is watched:
// when it goes away (its host ended), the icon can no longer be reached and says so.
#include "platform/NotificationArea.h"
#include "platform/StatusNotifierItem.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>

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
    bool isShown() const { return icon_.isVisible() || (item_ && item_->isShown()); }
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
    // On Wayland the icon and the menu given to the host; none on X11.
    std::unique_ptr<platform::StatusNotifierItem> item_;
    // A left press on the icon waits for its release before the menu opens.
    bool awaitingRelease_ = false;
    platform::NotificationAreaWatch areaWatch_;
};

} // namespace kamsulo::app
