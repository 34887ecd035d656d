#include "platform/WindowFrame.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

#include <algorithm>
#include <array>

namespace kamsulo::platform {

namespace {

// WM_HINTS as ICCCM lays it out: nine 32-bit fields, the flags first.
constexpr int kHintFields = 9;
constexpr int kFlagsField = 0;
constexpr int kInitialStateField = 2;
constexpr std::uint32_t kStateHint = 1u << 1;
constexpr std::uint32_t kNormalState = 1;

} // namespace

void showNormalWhenMapped(quint64 window) {
    xcb_connection_t* c = x11Connection();
    if (!c || window == 0) return;
    const auto w = xcb_window_t(window);
    std::array<std::uint32_t, kHintFields> hints{};
    const std::vector<std::uint32_t> old = propertyItems(c, w, "WM_HINTS", XCB_ATOM_WM_HINTS);
    std::copy_n(old.begin(), std::min<std::size_t>(old.size(), kHintFields), hints.begin());
    hints[kFlagsField] |= kStateHint;
    hints[kInitialStateField] = kNormalState;
    x11Done(c, xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_HINTS,
                                           XCB_ATOM_WM_HINTS, 32, kHintFields, hints.data()));
}

std::optional<QMargins> frameExtents(quint64 window) {
    xcb_connection_t* c = x11Connection();
    if (!c || window == 0) return std::nullopt;
    const std::vector<std::uint32_t> v =
        propertyItems(c, xcb_window_t(window), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    if (v.size() != 4) return std::nullopt;
    // left, right, top, bottom
    return QMargins(std::int32_t(v[0]), std::int32_t(v[2]), std::int32_t(v[1]), std::int32_t(v[3]));
}

} // namespace kamsulo::platform
