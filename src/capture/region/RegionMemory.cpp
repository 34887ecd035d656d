#include "capture/region/RegionMemory.h"

namespace kamsulo::capture {

RegionMemory& regionMemory() {
    static RegionMemory memory;
    return memory;
}

void resetRegionMemory() {
    regionMemory() = RegionMemory{};
}

} // namespace kamsulo::capture
