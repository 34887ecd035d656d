#pragma once
// The display server's latest pointer events with their exact device positions, so that
// the mouse event Qt delivers for one of them can be given its own position, not the
// pointer's position by the time the event is handled. Qt's events carry the display
// server's time; the log finds the record of the same kind and time nearest to the
// position that Qt rounded.
#include <QPoint>
#include <cstdint>
#include <deque>
#include <optional>

namespace kamsulo::platform {

enum class PointerEventKind { Press, Release, Motion };

struct PointerRecord {
    PointerEventKind kind = PointerEventKind::Motion;
    std::uint32_t time = 0;   // the display server's milliseconds
    QPoint desktop;           // device pixels of the desktop
    QPoint inWindow;          // device pixels of the window that received it
    std::uint64_t window = 0; // that window's native id
};

class PointerEventLog {
public:
    void record(const PointerRecord& r);
    // The record of the event that Qt delivers as `kind` at `time`, the one nearest to
    // `estimate` (the desktop position derived from Qt's rounded one) within `tolerance`
    // device pixels; it and every record before it leave the log. A second look for the
    // same press (Qt's double-click after its press) finds the same record again.
    std::optional<PointerRecord> take(PointerEventKind kind, std::uint32_t time, QPoint estimate,
                                      int tolerance);

private:
    static constexpr std::size_t kCapacity = 64;
    std::deque<PointerRecord> records_;
    std::optional<PointerRecord> lastPress_;
};

} // namespace kamsulo::platform
