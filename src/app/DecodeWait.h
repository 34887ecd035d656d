// Waiting for the decoder process while the main window stays alive: the event loop
// runs (the windows repaint), user input waits until the answer, and a busy cursor
// shows when the wait is long enough to notice.
#pragma once

#include "imaging/load/SandboxedLoader.h"

namespace kamsulo::app {

void waitForDecoder(const imaging::DecoderProcess& process);

// The loader the main window decodes with. Each picture starts its own decoder: one
// kept waiting would save its start (about 25 ms, a third of a 4K picture's cost) but
// hold some 17 MB resident for the rest of the run, which an idle program should not.
inline imaging::SandboxedLoader sandboxedLoader() {
    imaging::SandboxedLoader::keepWarm(false);
    return imaging::SandboxedLoader(waitForDecoder);
}

} // namespace kamsulo::app
