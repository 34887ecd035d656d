#pragma once
// Twips (1/1440 inch) and pixels. The program lays its forms out in twips; the
// screen's twips per pixel (15 at 96 dpi) converts.
#include <QRect>

class QWidget;

namespace kamsulo::platform {

// Whole twips per pixel of the primary screen, read from its logical DPI.
int twipsPerPixelX();
int twipsPerPixelY();
// Overrides the value read from the screen (tests, odd displays); 0 restores it.
void setTwipsPerPixelOverride(int tpp);

int twipsToPixelsX(double twips); // rounded to the nearest pixel
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double px);
double pixelsToTwipsY(double px);

// Places a child widget (left, top, width, height in twips, relative to its parent).
void placeTwips(QWidget* w, double left, double top, double width, double height);
// Gives a top-level window a client area of width x height twips.
void resizeClientTwips(QWidget* w, double width, double height);

} // namespace kamsulo::platform
