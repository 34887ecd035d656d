#pragma once
#include <QString>

class QWidget;

namespace kamsulo::imaging {

// Opens `file` with the desktop's default application for its type. When no
// application is associated with the type, offers the chooser ("Öffnen mit"),
// owned by `owner` while that window exists. True when a program was started.
bool openWithApplication(const QString& file, QWidget* owner = nullptr);

} // namespace kamsulo::imaging
