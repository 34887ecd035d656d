#include "platform/StatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

namespace kamsulo::platform {

namespace sni {

QDBusArgument& operator<<(QDBusArgument& out, const Pixmap& pixmap) {
    out.beginStructure();
    out << pixmap.width << pixmap.height << pixmap.argb;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Pixmap& pixmap) {
    in.beginStructure();
    in >> pixmap.width >> pixmap.height >> pixmap.argb;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const ToolTip& tip) {
    out.beginStructure();
    out << tip.iconName << tip.icon << tip.title << tip.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ToolTip& tip) {
    in.beginStructure();
    in >> tip.iconName >> tip.icon >> tip.title >> tip.text;
    in.endStructure();
    return in;
}

} // namespace sni

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");

QList<sni::Pixmap> pixmaps(const QIcon& icon) {
    QList<sni::Pixmap> found;
    for (const QSize& size : icon.availableSizes()) {
        const QImage image =
            icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        sni::Pixmap pixmap{image.width(), image.height(), {}};
        pixmap.argb.resize(qsizetype(image.width()) * image.height() * 4);
        auto* out = reinterpret_cast<uchar*>(pixmap.argb.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x, out += 4)
                qToBigEndian(line[x], out);
        }
        found.append(pixmap);
    }
    return found;
}

} // namespace

StatusNotifierItem::StatusNotifierItem(const QIcon& icon, const QString& toolTip,
                                       QList<QAction*> menu, QObject* parent)
    : QObject(parent), toolTip_(toolTip), menu_(std::move(menu)),
      service_(QStringLiteral("org.kde.StatusNotifierItem-%1-1")
                   .arg(QCoreApplication::applicationPid())) {
    qDBusRegisterMetaType<sni::Pixmap>();
    qDBusRegisterMetaType<QList<sni::Pixmap>>();
    qDBusRegisterMetaType<sni::ToolTip>();
    pixmaps_ = pixmaps(icon);
}

StatusNotifierItem::~StatusNotifierItem() {
    hide();
}

QString StatusNotifierItem::id() const {
    return QCoreApplication::applicationName();
}

QString StatusNotifierItem::title() const {
    return QGuiApplication::applicationDisplayName();
}

QDBusObjectPath StatusNotifierItem::menu() const {
    return QDBusObjectPath(kMenuPath);
}

void StatusNotifierItem::show() {
    if (shown_) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerObject(kItemPath, this,
                       QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportAllProperties);
    bus.registerObject(kMenuPath, &menu_,
                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    bus.registerService(service_);
    bus.asyncCall(QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"),
                                                 kWatcher,
                                                 QStringLiteral("RegisterStatusNotifierItem"))
                  << service_);
    shown_ = true;
}

void StatusNotifierItem::hide() {
    if (!shown_) return;
    // The watcher and the host drop the item when its name goes.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(service_);
    bus.unregisterObject(kMenuPath);
    bus.unregisterObject(kItemPath);
    shown_ = false;
}

} // namespace kamsulo::platform
