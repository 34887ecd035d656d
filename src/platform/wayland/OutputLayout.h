#pragma once
// The desktop's device pixels on Wayland, where the compositor lays its outputs out in
// logical pixels and each output has a scale of its own. The desktop's frame (from the
// portal or KWin) shows the whole layout at the largest of those scales: each output at
// its logical origin and size times that scale, so that an output of a smaller scale
// appears enlarged. The desktop in device pixels keeps every output's own pixels: at the
// same origin as in the frame, the size of its mode. Where no output lies, or where an
// enlarged output left room, the desktop is black.
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

namespace kamsulo::platform {

struct WaylandOutput {
    QString name;
    QRect logical; // in the compositor's layout
    QSize mode;    // its device pixels
};

class OutputLayout {
public:
    explicit OutputLayout(QList<WaylandOutput> outputs);

    // The scale of the frame: the largest output's mode over its logical size.
    qreal frameScale() const { return scale_; }
    // The frame's size: the layout's bounding rectangle times that scale.
    QSize frameSize() const;
    // The desktop's device pixels: the bounding rectangle of all outputs' pixels, from 0,0.
    QRect desktop() const;
    // An output's own pixels in the desktop; empty for an unknown name.
    QRect device(const QString& name) const;
    // A logical rectangle (a window) in device pixels, on the output that holds its middle.
    QRect toDevice(const QRect& logical) const;
    // The desktop in device pixels from a frame of frameSize(); a frame of another size
    // is taken to show the device pixels already.
    QImage fromFrame(const QImage& frame) const;

private:
    // Where the frame shows an output.
    QRect inFrame(const WaylandOutput& output) const;
    QRect deviceOf(const WaylandOutput& output) const;

    QList<WaylandOutput> outputs_;
    QRect bounds_; // the layout, logical
    qreal scale_ = 1.0;
};

} // namespace kamsulo::platform
