#pragma once
// A label that reports a click (press and release on it), as the colour swatches do.
#include <QLabel>

namespace kamsulo::annotate {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The colour (0x00BBGGRR) that fills the label's background.
    void setColor(quint32 bgr);
    quint32 color() const { return color_; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    quint32 color_ = 0;
    bool pressed_ = false;
};

} // namespace kamsulo::annotate
