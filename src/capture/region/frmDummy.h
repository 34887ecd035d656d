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

class frmDummy : public QWidget {
    Q_OBJECT
public:
    // Takes a frozen copy of the primary screen, covers the screen with a new
    // overlay and shows it. The main window's one-shot timer calls this once it is
    // out of the way. The overlay deletes itself on the release that ends it.
    // While an overlay is open, a further call shows that one again.
    static frmDummy* showOverlay(RegionHost& host);
    // The overlay that is open, or null.
    static frmDummy* current();
    // Closes an open overlay without capturing anything (the main window ending).
    static void unloadOverlay();

    // An overlay over `screenRect` (logical pixels) showing `frozenScreen` (device
    // pixels of that rectangle). Not shown yet.
    frmDummy(RegionHost& host, QImage frozenScreen, const QRect& screenRect,
             QWidget* parent = nullptr);
    ~frmDummy() override;

    const QImage& frozenScreen() const { return frozen_; }
    bool isSelecting() const { return selecting; }
    // The outline currently shown, in pixels; empty when there is none.
    QRect outline() const { return outline_; }
    QLabel* label() const { return Label1; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    // x and y in twips relative to the overlay.
    void Form_Load();
    void Form_MouseDown(float x, float y);
    void Form_MouseMove(float x, float y);
    void Form_MouseUp(float x, float y);

    float toTwipsX(const QMouseEvent* e) const;
    float toTwipsY(const QMouseEvent* e) const;
    void setOutline(const QRect& outline);
    void placeLabel(float x, float y);
    QRect toFrozenPixels(const QRect& logical) const;

    RegionHost& host_;
    QImage frozen_; // the background picture, held once for the overlay's life
    QLabel* Label1 = nullptr;
    bool selecting = false;
    bool unloading_ = false;
    float twipsPerPixelX = 15.0f;
    float twipsPerPixelY = 15.0f;
    QRect outline_;
};

} // namespace kamsulo::capture
