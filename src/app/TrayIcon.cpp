#include "app/TrayIcon.h"

#include <QCursor>

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
    // No context menu: a right click shows nothing.
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

bool TrayIcon::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::add() {
    icon_.show();
}

void TrayIcon::remove() {
    menu_.hide();
    icon_.hide();
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger) return;
    menu_.popup(QCursor::pos());
}

} // namespace kamsulo::app
