#pragma once
// Windows that must cover the screen. Window placement is otherwise left to the
// window manager or compositor: nothing may depend on where a window stands.
class QWidget;

namespace kamsulo::platform {

// Shows a frameless window, already sized to the primary screen, over all of it.
void showOverScreen(QWidget& window);

} // namespace kamsulo::platform
