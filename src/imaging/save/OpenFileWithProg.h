#pragma once
#include <QString>

class QWidget;

namespace kamsulo::imaging {

// Opens `strFile` with the desktop's default application for its type. When no
// application is associated with the type, offers the chooser ("Öffnen mit"),
// owned by `owner` while that window exists. True when a program was started.
bool OpenFileWithProg(const QString& strFile, QWidget* owner = nullptr);

} // namespace kamsulo::imaging
