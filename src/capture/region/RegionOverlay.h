#pragma once
// The region overlay: a borderless, topmost window over each monitor, each showing
// its part of one frozen copy of the desktop at its own scale. A press on any of them
// starts a selection, a red outline and a label with position and size follow the
// pointer across the monitors, and the release cuts the rectangle out of the frozen
// copy, hands it to the main window and closes every overlay. All of it is measured in
// device pixels of the desktop; where no monitor shows the desktop the copy is black. The outline
// is painted over the frozen copy and never into it, so it can never end up in the capture. There
// is no keyboard handling: the first release ends the overlay, with or without a usable rectangle.
#include "capture/region/DesktopPixels.h"

#include <QImage>
#include <QRect>
#include <QWidget>

class QLabel;

namespace kamsulo::capture {

class RegionHost;

class RegionOverlay : public QWidget {
    Q_OBJECT
public:
    // Takes a frozen copy of the desktop, covers each monitor with a new overlay and
    // shows them. The main window's one-shot timer calls this once it is
    // out of the way. The overlay deletes itself on the release that ends it.
    // While an overlay is open, a further call shows that one again. When the
    // desktop refuses the copy, says so, brings the main window back and returns null.
    static RegionOverlay* showOverlay(RegionHost& host);
    // The overlay of the primary monitor while they are open, or null.
    static RegionOverlay* current();
    // Closes open overlays without capturing anything (the main window ending).
    static void closeOverlay();

    // An overlay over `screenRect` (logical pixels) showing `frozenScreen` (device
    // pixels of that rectangle). Not shown yet.
    RegionOverlay(RegionHost& host, QImage frozenScreen, const QRect& screenRect,
                  QWidget* parent = nullptr);
    // An overlay over one monitor, `screenRect` in logical pixels: the `monitor`th of
    // `pixels`, which places every monitor in device pixels of the desktop, of which
    // `frozenDesktop` shows `desktopDevice`.
    RegionOverlay(RegionHost& host, QImage frozenDesktop, const QRect& desktopDevice,
                  const QRect& screenRect, DesktopPixels pixels, int monitor,
                  QWidget* parent = nullptr);
    ~RegionOverlay() override;

    const QImage& frozenScreen() const { return frozen_; }
    bool isSelecting() const { return selecting_; }
    // The outline currently shown, in device pixels of the desktop; empty when there is
    // none.
    QRect outline() const { return outline_; }
    // The label with the pointer position and the size of the rectangle.
    QLabel* sizeLabel() const { return sizeLabel_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // x and y in twips of the desktop's device pixels.
    void startSelection(float x, float y);
    void followPointer(float x, float y);
    void finishSelection(float x, float y);

    // The event's device pixel of the desktop, also while a drag goes on over another
    // monitor, in twips.
    QPointF toTwips(const QMouseEvent* e) const;
    // The overlays of this capture (this one alone when it was made on its own).
    QList<RegionOverlay*> siblings();
    void setOutline(const QRect& outline);
    void placeLabel(float x, float y);
    void showLabelAt(const QPoint& device);
    // Device pixels of the desktop <-> logical pixels of this overlay.
    QRect toLogical(const QRect& device) const;

    RegionHost& host_;
    QImage frozen_;        // the desktop, held once for the capture (shared by the overlays)
    QRect desktop_;        // what frozen_ shows, device pixels
    DesktopPixels pixels_; // every monitor of this capture
    QRect device_;         // this monitor, device pixels
    qreal ratio_ = 1.0;    // its device pixels per logical pixel
    QPointF corner_;       // its top-left corner on the plane of pointer positions
    QLabel* sizeLabel_ = nullptr;
    bool selecting_ = false;
    bool closing_ = false;
    float twipsPerPixelX_ = 15.0f; // read when the overlay is made
    float twipsPerPixelY_ = 15.0f;
    QRect outline_;
};

} // namespace kamsulo::capture
