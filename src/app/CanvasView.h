#pragma once
// Interim canvas: shows its picture at 1:1 and sizes itself to it.
#include <QImage>
#include <QWidget>

namespace kamsulo::app {

class CanvasView : public QWidget {
    Q_OBJECT
public:
    explicit CanvasView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setPicture(const QImage& picture) {
        image_ = picture;
        resize(image_.isNull() ? QSize(0, 0) : image_.size());
        update();
    }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
};

} // namespace kamsulo::app
