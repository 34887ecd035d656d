#pragma once
// Twips (1/1440 inch) and pixels. The program lays its forms out in twips; the
// screen's twips per pixel (15 at 96 dpi) converts.
#include <QRect>

class QWidget;

namespace kamsulo::platform {

// Twips per pixel of the primary screen, 1440 / its logical DPI: 15 at 96 dpi, and a
// fraction where the DPI gives one (7.5 at 192 dpi without scaling), so that the layout
// keeps its proportions to the text.
double twipsPerPixelX();
double twipsPerPixelY();
// Overrides the value read from the screen (tests, odd displays); 0 restores it.
void setTwipsPerPixelOverride(double tpp);

int twipsToPixelsX(double twips); // rounded to the nearest pixel
int twipsToPixelsY(double twips);
double pixelsToTwipsX(double px);
double pixelsToTwipsY(double px);

// Places a child widget (left, top, width, height in twips, relative to its parent).
void placeTwips(QWidget* w, double left, double top, double width, double height);
// Gives a top-level window a client area of width x height twips.
void resizeClientTwips(QWidget* w, double width, double height);

} // namespace kamsulo::platform
