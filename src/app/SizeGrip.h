#pragma once
// The small animated grip at the window's lower right corner.
#include <QWidget>

namespace kamsulo::app {

class SizeGrip : public QWidget {
    Q_OBJECT
public:
    explicit SizeGrip(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    int phase_ = 0;
    int timerId_ = 0;
};

} // namespace kamsulo::app
