#pragma once
// Rounding of canvas coordinates to whole units.

namespace kamsulo::annotate {

// To the nearest integer, ties to even; 0 for a value no int can hold.
int roundEven(double v);

} // namespace kamsulo::annotate
