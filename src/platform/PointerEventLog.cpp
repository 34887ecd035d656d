#include "platform/PointerEventLog.h"

#include <cstdlib>

namespace kamsulo::platform {

namespace {
int distance(QPoint a, QPoint b) {
    return std::max(std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}
} // namespace

void PointerEventLog::record(const PointerRecord& r) {
    if (records_.size() == kCapacity) records_.pop_front();
    records_.push_back(r);
}

std::optional<PointerRecord> PointerEventLog::take(PointerEventKind kind, std::uint32_t time,
                                                   QPoint estimate, int tolerance) {
    auto best = records_.end();
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->kind != kind || it->time != time) continue;
        const int d = distance(it->desktop, estimate);
        if (d <= tolerance && (best == records_.end() || d < distance(best->desktop, estimate)))
            best = it;
    }
    if (best == records_.end()) {
        if (kind == PointerEventKind::Press && lastPress_ && lastPress_->time == time &&
            distance(lastPress_->desktop, estimate) <= tolerance)
            return lastPress_;
        return std::nullopt;
    }
    const PointerRecord found = *best;
    records_.erase(records_.begin(), best + 1);
    if (kind == PointerEventKind::Press) lastPress_ = found;
    return found;
}

} // namespace kamsulo::platform
