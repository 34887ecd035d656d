#pragma once
// The outputs' modes, asked of the compositor over a connection of our own: what each
// output shows in device pixels, by the output's name. Qt reports a fractional scale
// as the next whole one, so that only the mode tells how many pixels an output has.
#include <QHash>
#include <QSize>
#include <QString>

namespace kamsulo::platform {

// The current mode of each output that names itself (upright: a turned output's
// width and height swapped); empty when the compositor cannot be asked.
QHash<QString, QSize> outputModes();
// The same, asked of the compositor anew only when Qt's screens changed since the last call.
QHash<QString, QSize> currentOutputModes();

} // namespace kamsulo::platform
