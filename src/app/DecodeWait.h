// Waiting for the decoder process while the main window stays alive: the event loop
// runs (the windows repaint), user input waits until the answer, and a busy cursor
// shows when the wait is long enough to notice.
#pragma once

#include "imaging/load/SandboxedLoader.h"

namespace kamsulo::app {

void waitForDecoder(const imaging::DecoderProcess& process);

// The loader the main window decodes with. A decoder is started for the picture, or
// ahead where a decode is sure to follow (DecoderStandby): one kept waiting all the time
// would save its start but hold some 17 MB resident for the rest of the run, which an
// idle program should not.
inline imaging::SandboxedLoader sandboxedLoader() {
    return imaging::SandboxedLoader(waitForDecoder);
}

// Starts a decoder while the user picks a picture (the Open dialog is up, a drag is over
// the window), with the memory of a screenshot of the screen faulted in.
void startDecoderStandby();

// A decoder started for the scope, which a decode within it takes; stopped with the
// scope if none did.
class DecoderStandby {
public:
    DecoderStandby() { startDecoderStandby(); }
    ~DecoderStandby() { imaging::SandboxedLoader::stopStandby(); }
    DecoderStandby(const DecoderStandby&) = delete;
    DecoderStandby& operator=(const DecoderStandby&) = delete;
};

} // namespace kamsulo::app
