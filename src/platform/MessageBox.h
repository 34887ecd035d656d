#pragma once
// Message boxes by style: the buttons, the icon and which button is the default,
// combined as the numbers of the classic message box styles. The buttons are German
// through Qt's translations; an empty title shows the program's name.
#include <QString>
#include <functional>

class QObject;
class QWidget;

namespace kamsulo::platform {

enum class BoxStyle : int {
    Ok = 0,                       // OK, no icon
    YesNoQuestion = 36,           // Yes/No with question icon, Yes the default
    OkExclamation = 48,           // OK with exclamation icon
    OkInformation = 64,           // OK with information icon
    YesNoQuestionDefaultNo = 292, // Yes/No with question icon, No the default
};

enum class BoxAnswer : int { Ok = 1, Yes = 6, No = 7 };

// Shows the box and waits for the answer.
BoxAnswer messageBox(const QString& text, BoxStyle style = BoxStyle::Ok,
                     const QString& title = QString(), QWidget* parent = nullptr);

// Shows the same box, as modal as messageBox()'s, without waiting: `answered` runs in
// `context` once it is answered. Closing the box with closeMessageBox() first, or
// `context` going, drops the answer.
QWidget* openMessageBox(const QString& text, BoxStyle style, const QString& title, QWidget* parent,
                        QObject* context, std::function<void(BoxAnswer)> answered);
// Closes a box of openMessageBox() without an answer; null does nothing.
void closeMessageBox(QWidget* box);

} // namespace kamsulo::platform
