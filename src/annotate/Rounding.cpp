#include "annotate/Rounding.h"

#include <cmath>
#include <limits>

namespace kamsulo::annotate {

int roundEven(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<int>::min() && r <= std::numeric_limits<int>::max())) return 0;
    return int(r);
}

} // namespace kamsulo::annotate
