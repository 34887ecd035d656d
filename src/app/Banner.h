#pragma once
// The start banner over the canvas area, a gradient from black to red
// behind the program's name and its shadow.
#include <QImage>
#include <QWidget>

class QLabel;

namespace kamsulo::app {

class Banner : public QWidget {
    Q_OBJECT
public:
    explicit Banner(QWidget* parent = nullptr);

    // Paints the 256 bands into the banner's persistent image.
    void paintGradient();
    // Centres the title and puts its shadow 3 pixels right and 4/510 of
    // the banner's height below it.
    void placeLabels();
    // The persistent image: what the banner shows, the gradient.
    const QImage& image() const { return image_; }

    QLabel* titleLabels[2] = {nullptr, nullptr}; // the title and its shadow

signals:
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QImage image_;
};

} // namespace kamsulo::app
