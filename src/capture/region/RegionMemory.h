#pragma once
// What the region overlay remembers from one capture to the next: the position of
// the latest press, in twips. It outlives every overlay and is reset only when the
// program ends, so a release without a press on a fresh overlay measures from the
// previous anchor, or from (0, 0) in the first capture of the run.
namespace kamsulo::capture {

struct RegionMemory {
    float anchorX = 0.0f;
    float anchorY = 0.0f;
};

// The one program-wide instance.
RegionMemory& regionMemory();
// Back to (0, 0); the main window calls it when it ends.
void resetRegionMemory();

} // namespace kamsulo::capture
