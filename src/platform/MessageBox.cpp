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

void fill(QMessageBox& box, const QString& text, BoxStyle style, const QString& title) {
    const int bits = static_cast<int>(style);
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
}

BoxAnswer answerOf(BoxStyle style, int result) {
    if ((static_cast<int>(style) & kButtonMask) != kYesNoButtons) return BoxAnswer::Ok;
    return result == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
}

} // namespace

BoxAnswer messageBox(const QString& text, BoxStyle style, const QString& title, QWidget* parent) {
    QMessageBox box(parent);
    fill(box, text, style, title);
    return answerOf(style, box.exec());
}

QWidget* openMessageBox(const QString& text, BoxStyle style, const QString& title, QWidget* parent,
                        QObject* context, std::function<void(BoxAnswer)> answered) {
    auto* box = new QMessageBox(parent);
    fill(*box, text, style, title);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // As exec() makes it.
    box->setWindowModality(Qt::ApplicationModal);
    QObject::connect(
        box, &QMessageBox::finished, context,
        [style, answered = std::move(answered)](int result) { answered(answerOf(style, result)); });
    box->show();
    return box;
}

void closeMessageBox(QWidget* box) {
    if (!box) return;
    box->disconnect();
    box->close();
}

} // namespace kamsulo::platform
