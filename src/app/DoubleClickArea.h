#pragma once
// A transparent area of a window that reports double clicks and nothing else.
#include <QWidget>

namespace kamsulo::app {

class DoubleClickArea : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent*) override { emit doubleClicked(); }
};

} // namespace kamsulo::app
