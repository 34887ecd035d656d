#pragma once
// A label that reports a click (press and release on it), as the colour swatches do.
#include <QLabel>

namespace kamsulo::annotate {

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The background colour (0x00BBGGRR), shown through a filled background.
    void setBackColor(quint32 bgr);
    quint32 backColor() const { return backColor_; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    quint32 backColor_ = 0;
    bool pressed_ = false;
};

} // namespace kamsulo::annotate
