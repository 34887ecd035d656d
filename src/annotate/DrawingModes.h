#pragma once
// The drawing attributes that take one of a few values.

namespace kamsulo::annotate {

// The unit of canvas coordinates: twips (the screen's twips per pixel) or pixels.
enum class ScaleMode { Twips, Pixels };

// How the pen combines with the picture: paint over it, AND its colour into it (the
// highlighter), or paint white whatever the colour (the eraser).
enum class DrawMode { CopyPen, MaskPen, White };

// A one-pixel pen may be dotted; wider pens always draw solid.
enum class DrawStyle { Solid, Dotted };

// Whether closed figures take the fill colour.
enum class FillStyle { Solid, Transparent };

} // namespace kamsulo::annotate
