#pragma once
// The notification-area icon that stands in for the minimised main window, and its
// menu. A left click opens the menu at the pointer; nothing else on the icon does.
#include <QMenu>
#include <QObject>
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

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon icon_;
    QMenu menu_;
};

} // namespace kamsulo::app
