#include "app/TrayIcon.h"

#include "platform/Backend.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

namespace kamsulo::app {

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent) : QObject(parent), icon_(icon) {
    icon_.setToolTip(QStringLiteral("Vendrams Pixtorel"));
    menu_.setObjectName(QStringLiteral("trayMenu"));
    const auto entry = [this](const char* caption, Entry e) {
        menu_.addAction(QString::fromUtf8(caption), this, [this, e] { emit chosen(e); });
    };
    entry("Region", Entry::Region);
    entry("Gesamter Screen", Entry::Screen);
    entry("Aktives Fensters", Entry::Window);
    menu_.addSeparator();
    entry("Programmfenster anzeigen", Entry::ShowWindow);
    menu_.addSeparator();
    entry("Beenden", Entry::Exit);
    // No context menu: a right click shows nothing. On Wayland the host shows the menu,
    // from the same entries.
    if (platform::windowsOnWayland())
        item_ =
            std::make_unique<platform::StatusNotifierItem>(icon, icon_.toolTip(), menu_.actions());
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    connect(&areaWatch_, &platform::NotificationAreaWatch::gone, this, [this] {
        remove();
        emit lost();
    });
}

bool TrayIcon::available() {
    if (platform::windowsOnWayland()) return platform::statusNotifierHostRegistered();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::add() {
    if (item_)
        item_->show();
    else
        icon_.show();
    areaWatch_.start();
}

void TrayIcon::remove() {
    areaWatch_.stop();
    awaitingRelease_ = false;
    menu_.hide();
    icon_.hide();
    if (item_) item_->hide();
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger) return;
    // An icon embedded in the tray reports the press of the button; the menu waits for
    // its release. A host that activates the icon itself has already seen the click.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        menu_.popup(QCursor::pos());
        return;
    }
    if (!awaitingRelease_) qApp->installEventFilter(this);
    awaitingRelease_ = true;
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (awaitingRelease_ && widget && event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton) {
            // The icon holds the pointer from its press: the release comes to it, also
            // when it happens elsewhere.
            awaitingRelease_ = false;
            qApp->removeEventFilter(this);
            if (icon_.isVisible() && widget->rect().contains(release->position().toPoint()))
                menu_.popup(release->globalPosition().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kamsulo::app
