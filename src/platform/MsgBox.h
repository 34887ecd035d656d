#pragma once
// Message boxes by style number: 0 OK, 36 Yes/No with question icon, 48 OK with
// exclamation icon, 64 OK with information icon, 292 Yes/No with question icon and
// No as default. The answer is 6 (Yes), 7 (No) or 1 (OK). An empty title shows the
// program's name. The buttons are German through Qt's translations.
#include <QString>

class QWidget;

namespace kamsulo::platform {

enum MsgBoxAnswer { vbOK = 1, vbYes = 6, vbNo = 7 };

int MsgBox(const QString& text, int style = 0, const QString& title = QString(),
           QWidget* parent = nullptr);

} // namespace kamsulo::platform
