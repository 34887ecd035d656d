#include "app/frmAnzeige.h"

namespace kamsulo::app {

frmAnzeige::frmAnzeige(QWidget* parent) : QWidget(parent) {}

} // namespace kamsulo::app
