#include "platform/MsgBox.h"

#include "platform/AppInfo.h"

#include <QMessageBox>

namespace kamsulo::platform {

int MsgBox(const QString& text, int style, const QString& title, QWidget* parent) {
    const int buttons = style & 0x0F;
    const int icon = style & 0xF0;
    const bool secondDefault = (style & 0x300) == 0x100;

    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? AppInfo::title() : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    // The text can be selected and copied (a saved file's path, say).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    switch (icon) {
    case 16:
        box.setIcon(QMessageBox::Critical);
        break;
    case 32:
        box.setIcon(QMessageBox::Question);
        break;
    case 48:
        box.setIcon(QMessageBox::Warning);
        break;
    case 64:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    const bool yesNo = buttons == 4;
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(secondDefault ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int r = box.exec();
    if (!yesNo) return vbOK;
    return r == QMessageBox::Yes ? vbYes : vbNo;
}

} // namespace kamsulo::platform
