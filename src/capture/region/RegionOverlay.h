#pragma once
// The region overlay: a borderless, topmost window over the whole primary screen
// that shows a frozen copy of it. A press starts a selection, a red outline and a
// label with position and size follow the pointer, and the release cuts the
// rectangle out of the frozen copy, hands it to the main window and closes the
// overlay. The outline is painted over the frozen copy and never into it, so it can
// never end up in the capture. There is no keyboard handling: the first release
// ends the overlay, with or without a usable rectangle.
#include <QImage>
#include <QRect>
#include <QWidget>

class QLabel;

namespace kamsulo::capture {

class RegionHost;

class RegionOverlay : public QWidget {
    Q_OBJECT
public:
    // Takes a frozen copy of the primary screen, covers the screen with a new
    // overlay and shows it. The main window's one-shot timer calls this once it is
    // out of the way. The overlay deletes itself on the release that ends it.
    // While an overlay is open, a further call shows that one again.
    static RegionOverlay* showOverlay(RegionHost& host);
    // The overlay that is open, or null.
    static RegionOverlay* current();
    // Closes an open overlay without capturing anything (the main window ending).
    static void closeOverlay();

    // An overlay over `screenRect` (logical pixels) showing `frozenScreen` (device
    // pixels of that rectangle). Not shown yet.
    RegionOverlay(RegionHost& host, QImage frozenScreen, const QRect& screenRect,
                  QWidget* parent = nullptr);
    ~RegionOverlay() override;

    const QImage& frozenScreen() const { return frozen_; }
    bool isSelecting() const { return selecting_; }
    // The outline currently shown, in pixels; empty when there is none.
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
    // x and y in twips relative to the overlay.
    void startSelection(float x, float y);
    void followPointer(float x, float y);
    void finishSelection(float x, float y);

    float toTwipsX(const QMouseEvent* e) const;
    float toTwipsY(const QMouseEvent* e) const;
    void setOutline(const QRect& outline);
    void placeLabel(float x, float y);
    QRect toFrozenPixels(const QRect& logical) const;

    RegionHost& host_;
    QImage frozen_; // the background picture, held once for the overlay's life
    QLabel* sizeLabel_ = nullptr;
    bool selecting_ = false;
    bool closing_ = false;
    float twipsPerPixelX_ = 15.0f; // read when the overlay is made
    float twipsPerPixelY_ = 15.0f;
    QRect outline_;
};

} // namespace kamsulo::capture
