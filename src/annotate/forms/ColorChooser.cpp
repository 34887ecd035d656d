#include "annotate/forms/ColorChooser.h"

#include "annotate/Bgr.h"

#include <QColorDialog>
#include <QGuiApplication>
#include <QPalette>
#include <optional>

namespace kamsulo::annotate {

namespace {

struct SystemColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// Index of a system colour -> where the application palette keeps its counterpart.
std::optional<SystemColor> systemColor(int index) {
    using P = QPalette;
    switch (index) {
    case 0:
        return SystemColor{P::Active, P::Mid}; // scroll bar
    case 1:
        return SystemColor{P::Active, P::Dark}; // desktop
    case 2:
        return SystemColor{P::Active, P::Highlight}; // active caption
    case 3:
        return SystemColor{P::Inactive, P::Highlight}; // inactive caption
    case 4:
        return SystemColor{P::Active, P::Window}; // menu
    case 5:
        return SystemColor{P::Active, P::Base}; // window
    case 6:
        return SystemColor{P::Active, P::Shadow}; // window frame
    case 7:
        return SystemColor{P::Active, P::WindowText}; // menu text
    case 8:
        return SystemColor{P::Active, P::Text}; // window text
    case 9:
        return SystemColor{P::Active, P::HighlightedText}; // caption text
    case 10:
        return SystemColor{P::Active, P::Window}; // active border
    case 11:
        return SystemColor{P::Inactive, P::Window}; // inactive border
    case 12:
        return SystemColor{P::Active, P::Dark}; // application workspace
    case 13:
        return SystemColor{P::Active, P::Highlight}; // highlight
    case 14:
        return SystemColor{P::Active, P::HighlightedText}; // highlighted text
    case 15:
        return SystemColor{P::Active, P::Button}; // button face
    case 16:
        return SystemColor{P::Active, P::Dark}; // button shadow
    case 17:
        return SystemColor{P::Disabled, P::Text}; // grey text
    case 18:
        return SystemColor{P::Active, P::ButtonText}; // button text
    case 19:
        return SystemColor{P::Inactive, P::HighlightedText}; // inactive caption text
    case 20:
        return SystemColor{P::Active, P::Light}; // button highlight
    case 21:
        return SystemColor{P::Active, P::Shadow}; // 3D dark shadow
    case 22:
        return SystemColor{P::Active, P::Midlight}; // 3D light
    case 23:
        return SystemColor{P::Active, P::ToolTipText}; // tooltip text
    case 24:
        return SystemColor{P::Active, P::ToolTipBase}; // tooltip background
    case 26:
        return SystemColor{P::Active, P::Link}; // hot-tracked item
    case 27:
        return SystemColor{P::Active, P::Highlight}; // caption gradient
    case 28:
        return SystemColor{P::Inactive, P::Highlight}; // inactive gradient
    case 29:
        return SystemColor{P::Active, P::Highlight}; // menu highlight
    case 30:
        return SystemColor{P::Active, P::Window}; // menu bar
    default:
        return std::nullopt;
    }
}

} // namespace

qint64 resolveColor(qint64 color) {
    if (color < 0 || color > 0xFFFFFFFFLL) return -1;
    const quint32 value = quint32(color);
    if (value & 0x80000000u) {
        if (value & 0x7FFFFF00u) return -1;
        const auto sys = systemColor(int(value & 0xFF));
        if (!sys) return -1;
        const QPalette pal = QGuiApplication::palette();
        return colorToBgr(pal.color(sys->group, sys->role));
    }
    switch (value >> 24) {
    case 0x00:
        return value; // plain colour
    case 0x02:
        return value & 0x00FFFFFF; // palette-relative colour, no palette
    default:
        return -1;
    }
}

qint64 pickColor(qint64 initialColor) {
    const qint64 resolved = resolveColor(initialColor);
    const QColor initial = resolved < 0 ? QColor(Qt::white) : bgrColor(quint32(resolved));
    // The custom colours live for this one call; the first one is white.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::white));

    QColorDialog dialog(initial, nullptr);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return initialColor;
    return colorToBgr(dialog.selectedColor());
}

} // namespace kamsulo::annotate
