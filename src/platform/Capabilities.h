#pragma once
// What a desktop backend can do, said once as flags, so that the program offers what
// works and says in German what does not, instead of failing quietly.
#include <QFlags>

namespace kamsulo::platform {

// The pictures a backend can take.
enum class GrabMode : unsigned {
    WholeScreen = 1u << 0,           // the primary screen, with no question asked
    AllMonitors = 1u << 1,           // the whole desktop over every monitor (the region overlay)
    ActiveWindow = 1u << 2,          // the window in front, with no question asked
    WindowPickedByDesktop = 1u << 3, // a window the user picks in the desktop's own dialog
    WindowPickedByClick = 1u << 4,   // a window the user clicks during the wait, which brings it
                                     // to the front, so that ActiveWindow then takes it
};
Q_DECLARE_FLAGS(GrabModes, GrabMode)
Q_DECLARE_OPERATORS_FOR_FLAGS(GrabModes)

// What else a backend offers.
enum class Feature : unsigned {
    KeysReachOtherPrograms = 1u << 0, // synthetic keys reach other programs' windows
    PointerInPictures = 1u << 1,      // the pictures show the mouse pointer
};
Q_DECLARE_FLAGS(Features, Feature)
Q_DECLARE_OPERATORS_FOR_FLAGS(Features)

struct Capabilities {
    GrabModes modes;
    Features features;
};

// What the chosen backend can do.
Capabilities capabilities();

} // namespace kamsulo::platform
