// Waiting for the decoder process while the main window stays alive: the event loop
// runs (the windows repaint), user input waits until the answer, and a busy cursor
// shows when the wait is long enough to notice.
#pragma once

#include "imaging/load/SandboxedLoader.h"

namespace kamsulo::app {

void waitForDecoder(const imaging::DecoderProcess& process);

// The loader the main window decodes with: a decoder process is started for each picture.
inline imaging::SandboxedLoader sandboxedLoader() {
    return imaging::SandboxedLoader(waitForDecoder);
}

} // namespace kamsulo::app
