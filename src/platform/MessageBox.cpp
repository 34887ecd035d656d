#include "platform/MessageBox.h"

#include "platform/AppInfo.h"

#include <QMessageBox>

namespace kamsulo::platform {

namespace {

// The parts of a style number.
constexpr int kButtonMask = 0x0F;
constexpr int kIconMask = 0xF0;
constexpr int kDefaultMask = 0x300;
constexpr int kYesNoButtons = 4;
constexpr int kSecondButtonDefault = 0x100;

QMessageBox::Icon iconOf(int style) {
    switch (style & kIconMask) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

BoxAnswer messageBox(const QString& text, BoxStyle style, const QString& title, QWidget* parent) {
    const int bits = static_cast<int>(style);
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? AppInfo::title() : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    // The text can be selected and copied (a saved file's path, say).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setIcon(iconOf(bits));
    const bool yesNo = (bits & kButtonMask) == kYesNoButtons;
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        const bool noDefault = (bits & kDefaultMask) == kSecondButtonDefault;
        box.setDefaultButton(noDefault ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int r = box.exec();
    if (!yesNo) return BoxAnswer::Ok;
    return r == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

} // namespace kamsulo::platform
