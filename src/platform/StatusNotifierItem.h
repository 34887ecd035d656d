#pragma once
// The program's icon with the desktop's status notifier host, whose menu the host
// shows itself, on a left click too (ItemIsMenu): on Wayland a program cannot open a
// popup while it has no window of its own on the screen. The item and its menu live on
// the session bus under a name of their own, so that the host drops them when the name
// is released.
#include "platform/DBusMenu.h"

#include <QByteArray>
#include <QDBusObjectPath>
#include <QIcon>
#include <QObject>

namespace kamsulo::platform {

namespace sni {
// One size of the icon: width, height, ARGB32 pixels in network byte order: (iiay).
struct Pixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
// (sa(iiay)ss): icon name, icon, title, text.
struct ToolTip {
    QString iconName;
    QList<Pixmap> icon;
    QString title;
    QString text;
};
} // namespace sni

class StatusNotifierItem : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QList<kamsulo::platform::sni::Pixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(kamsulo::platform::sni::ToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    StatusNotifierItem(const QIcon& icon, const QString& toolTip, QList<QAction*> menu,
                       QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Puts the item on the bus and registers it with the status notifier watcher.
    void show();
    void hide();
    bool isShown() const { return shown_; }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const;
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString iconName() const { return {}; }
    QList<sni::Pixmap> iconPixmap() const { return pixmaps_; }
    sni::ToolTip toolTip() const { return {{}, {}, toolTip_, {}}; }
    bool itemIsMenu() const { return true; }
    QDBusObjectPath menu() const;

public slots:
    // The host shows the menu for every click it passes on here: these do nothing.
    Q_SCRIPTABLE void Activate(int, int) {}
    Q_SCRIPTABLE void SecondaryActivate(int, int) {}
    Q_SCRIPTABLE void ContextMenu(int, int) {}
    Q_SCRIPTABLE void Scroll(int, const QString&) {}

private:
    QList<sni::Pixmap> pixmaps_;
    QString toolTip_;
    DBusMenu menu_;
    QString service_;
    bool shown_ = false;
};

} // namespace kamsulo::platform

Q_DECLARE_METATYPE(kamsulo::platform::sni::Pixmap)
Q_DECLARE_METATYPE(kamsulo::platform::sni::ToolTip)
