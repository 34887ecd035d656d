#pragma once
// A box of colour cells on the box's own background, kept as a picture. A press
// reports where it happened; colorAt tells the colour there.
#include "annotate/forms/PaletteColors.h"

#include <QImage>
#include <QWidget>

namespace kamsulo::annotate {

class PaletteBox : public QWidget {
    Q_OBJECT
public:
    explicit PaletteBox(QWidget* parent = nullptr);

    // Sizes the box (twips), fills it with its background and paints the cells.
    void paintCells(double widthTwips, double heightTwips, const std::vector<PaletteCell>& cells);
    // The colour of the image at a pixel position inside the box (0x00BBGGRR).
    quint32 colorAt(QPoint pos) const;
    const QImage& image() const { return image_; }

signals:
    void pressedAt(QPoint pos);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage image_;
};

} // namespace kamsulo::annotate
