#include "platform/x11/X11PointerEvents.h"

#include "platform/PointerEventLog.h"
#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QSet>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace kamsulo::platform {

namespace {
constexpr int kFirstWheelButton = 4; // buttons 4 to 7 turn the wheel: no presses for Qt
constexpr int kLastWheelButton = 7;

bool isWheel(std::uint32_t button) {
    return button >= kFirstWheelButton && button <= kLastWheelButton;
}

int fromFixed1616(xcb_input_fp1616_t v) {
    return v >> 16; // whole device pixels
}

std::optional<PointerEventKind> kindOf(int type, std::uint32_t button) {
    switch (type) {
    case XCB_BUTTON_PRESS: // the same numbers as XCB_INPUT_BUTTON_PRESS and so on
        return isWheel(button) ? std::nullopt : std::optional(PointerEventKind::Press);
    case XCB_BUTTON_RELEASE:
        return isWheel(button) ? std::nullopt : std::optional(PointerEventKind::Release);
    case XCB_MOTION_NOTIFY:
        return PointerEventKind::Motion;
    default:
        return std::nullopt;
    }
}

const char* const kFilterName = "X11PointerFilter";

// Lives as long as the application it filters for.
class X11PointerFilter : public QObject, public QAbstractNativeEventFilter {
public:
    X11PointerFilter(PointerEventLog& log, int xinputOpcode, QSet<int> masterPointers)
        : QObject(qGuiApp), log_(log), xinputOpcode_(xinputOpcode),
          masterPointers_(std::move(masterPointers)) {
        setObjectName(QLatin1String(kFilterName));
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const int responseType = event->response_type & ~0x80;
        if (responseType == XCB_GE_GENERIC)
            recordXInput(static_cast<const xcb_input_button_press_event_t*>(message));
        else
            recordCore(responseType, static_cast<const xcb_button_press_event_t*>(message));
        return false;
    }

private:
    // Qt takes its mouse events from the master pointers; the same event from the slave
    // device that caused it is left out.
    void recordXInput(const xcb_input_button_press_event_t* e) {
        if (e->extension != xinputOpcode_ || !masterPointers_.contains(e->deviceid)) return;
        const std::optional<PointerEventKind> kind = kindOf(e->event_type, e->detail);
        if (!kind) return;
        log_.record({*kind, e->time, QPoint(fromFixed1616(e->root_x), fromFixed1616(e->root_y)),
                     QPoint(fromFixed1616(e->event_x), fromFixed1616(e->event_y)), e->event});
    }

    // Button press, release and motion events share their layout.
    void recordCore(int type, const xcb_button_press_event_t* e) {
        const std::optional<PointerEventKind> kind = kindOf(type, e->detail);
        if (!kind) return;
        log_.record({*kind, e->time, QPoint(e->root_x, e->root_y), QPoint(e->event_x, e->event_y),
                     e->event});
    }

    PointerEventLog& log_;
    int xinputOpcode_;
    QSet<int> masterPointers_;
};

QSet<int> masterPointers(xcb_connection_t* c) {
    QSet<int> ids;
    const auto reply = x11Reply(xcb_input_xi_query_device_reply, c,
                                xcb_input_xi_query_device(c, XCB_INPUT_DEVICE_ALL_MASTER));
    if (!reply) return ids;
    for (auto it = xcb_input_xi_query_device_infos_iterator(reply.get()); it.rem;
         xcb_input_xi_device_info_next(&it))
        if (it.data->type == XCB_INPUT_DEVICE_TYPE_MASTER_POINTER) ids.insert(it.data->deviceid);
    return ids;
}
} // namespace

void followX11PointerEvents(PointerEventLog& log) {
    xcb_connection_t* c = x11Connection();
    if (!c || qGuiApp->findChild<QObject*>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly))
        return;
    int opcode = -1;
    QSet<int> masters;
    if (const xcb_query_extension_reply_t* input = xcb_get_extension_data(c, &xcb_input_id);
        input && input->present) {
        opcode = input->major_opcode;
        masters = masterPointers(c);
    }
    new X11PointerFilter(log, opcode, masters);
}

} // namespace kamsulo::platform
