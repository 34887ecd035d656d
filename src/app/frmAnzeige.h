#pragma once
#include <QWidget>

namespace kamsulo::app {

class frmAnzeige : public QWidget {
    Q_OBJECT
public:
    explicit frmAnzeige(QWidget* parent = nullptr);
};

} // namespace kamsulo::app
