#pragma once
// The colour dialog and the resolution of system-colour references.
#include <QtGlobal>

namespace kamsulo::annotate {

// Turns a colour value into an actual 0x00BBGGRR colour. A value with the high bit
// set refers to a system colour (the low byte is its index, e.g. 0x8000000F the
// button face) and is looked up in the application palette. Returns -1 for a value
// that names no colour.
qint64 resolveColor(qint64 color);

// Shows the colour dialog (German, no owner) preselecting the resolved initial colour
// (white when it names no colour). Returns the chosen 0x00BBGGRR colour, or
// initialColor unchanged when the user cancels.
qint64 pickColor(qint64 initialColor);

} // namespace kamsulo::annotate
