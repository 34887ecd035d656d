// Screen and window copies on X11, on Qt's connection: MIT-SHM (ShmGetImage) when the
// server offers it, plain GetImage otherwise.
#include "platform/Backends.h"
#include "platform/ScreenGrabber.h"
#include "platform/WindowBounds.h"
#include "platform/x11/X11ClientWindow.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <thread>
#include <utility>
#include <vector>
#include <xcb/randr.h>
#include <xcb/shm.h>

namespace kamsulo::platform {

namespace {

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23; // the value in Linux's uapi headers
#endif

// A shared memory segment of ours for one grab; the server attaches it for the grab only.
struct Segment {
    int id = -1;
    void* addr = nullptr;
    std::size_t size = 0;
    xcb_shm_seg_t server = 0; // the server's attachment while it keeps one
};

Segment newSegment(std::size_t size) {
    Segment s;
    s.id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (s.id < 0) return {};
    s.addr = shmat(s.id, nullptr, 0);
    if (s.addr == reinterpret_cast<void*>(-1)) {
        shmctl(s.id, IPC_RMID, nullptr);
        return {};
    }
    // Its pages in one go rather than one fault at a time (Linux 5.14 on; older kernels
    // refuse the advice, and the pages then come as they are touched).
    madvise(s.addr, size, kPopulateWrite);
    s.size = size;
    return s;
}

// Sets the alpha byte of every pixel, as Format_RGB32 wants it. The inner loop's fixed
// count lets the compiler use vector instructions.
void makeOpaque(quint32* pixels, std::size_t count) {
    constexpr std::size_t kBlock = 16;
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock)
        for (std::size_t j = 0; j < kBlock; ++j)
            pixels[i + j] |= 0xff000000u;
    for (; i < count; ++i)
        pixels[i] |= 0xff000000u;
}

void dropSegment(const Segment& s) {
    if (!s.addr) return;
    shmctl(s.id, IPC_RMID, nullptr);
    shmdt(s.addr);
}

// The picture is asked for in strips, which the server copies one after another: each
// is made opaque here while the server copies the next.
// capture_bench at 3840x2160: 6.5 ms in 8 strips, 10.4 ms in one piece.
constexpr int kStrips = 8;

// Has the server copy `rect` of the root window into `s`, made opaque as it arrives when
// `opaque`; false when it failed. A segment that the server has not attached yet is
// attached first, in the same round trip; its id is then removed, so that it goes once
// both sides have let go. The attachment stays 0 when the server refused it.
bool shmCopy(xcb_connection_t* c, xcb_window_t root, Segment& s, const QRect& rect, bool opaque) {
    std::optional<xcb_void_cookie_t> attaching;
    if (!s.server) {
        s.server = xcb_generate_id(c);
        attaching = xcb_shm_attach_checked(c, s.server, std::uint32_t(s.id), false);
    }
    const std::size_t bytesPerLine = std::size_t(rect.width()) * 4;
    const int strips = std::min(kStrips, rect.height());
    std::vector<std::pair<xcb_shm_get_image_cookie_t, QRect>> asked;
    for (int i = 0; i < strips; ++i) {
        const int top = rect.height() * i / strips;
        const QRect strip(rect.x(), rect.y() + top, rect.width(),
                          rect.height() * (i + 1) / strips - top);
        asked.emplace_back(xcb_shm_get_image(c, root, std::int16_t(strip.x()),
                                             std::int16_t(strip.y()), std::uint16_t(strip.width()),
                                             std::uint16_t(strip.height()), ~0u,
                                             XCB_IMAGE_FORMAT_Z_PIXMAP, s.server,
                                             std::uint32_t(std::size_t(top) * bytesPerLine)),
                           strip);
    }
    bool copied = true;
    for (const auto& [cookie, strip] : asked) {
        const auto image = x11Reply(xcb_shm_get_image_reply, c, cookie);
        const std::size_t size = bytesPerLine * std::size_t(strip.height());
        copied = copied && image && image->size == size;
        if (copied && opaque)
            makeOpaque(static_cast<quint32*>(s.addr) +
                           std::size_t(strip.y() - rect.y()) * std::size_t(rect.width()),
                       size / 4);
    }
    if (attaching) {
        if (!x11Done(c, *attaching)) {
            s.server = 0;
            return false;
        }
        shmctl(s.id, IPC_RMID, nullptr);
    }
    return copied;
}

// A segment readied for a grab of `screen`, on a thread: our pages in place, and the
// server's too, which the server maps once it is attached and writes into it once.
// Region at 3840x2160 after 2 s idle, grab to overlay mapped: 9.0 ms with it, 32.2 without.
Segment warmSegment(xcb_connection_t* c, xcb_window_t root, const QRect& screen) {
    Segment s = newSegment(std::size_t(screen.width()) * std::size_t(screen.height()) * 4);
    if (s.addr) shmCopy(c, root, s, screen, false);
    return s;
}

// The segment of the last picture that was let go, kept for the next grab of its size
// together with the server's attachment: the pages are in place on both sides, so that
// grab costs no page faults (32 MB at 4K). It is given back after a short idle spell,
// so that no copy of the screen stays in memory long. A picture may be let go on any
// thread: xcb keeps the requests of threads apart.
// bench/capture/run at 3840x2160: 9.8 ms (0.07x scrot) with it, 34.9 ms (0.27x) without.
constexpr int kSpareKeptMs = 1000;

class SpareSegment {
public:
    // Never destroyed: pictures may be let go while the program ends.
    static SpareSegment& instance() {
        static auto* spare = new SpareSegment;
        return *spare;
    }

    // The connection the server's attachments belong to; null once it is closed.
    void setConnection(xcb_connection_t* c) {
        std::lock_guard lock(mutex_);
        c_ = c;
    }

    // Whether a segment is kept; it then stays until the next take, idle or not.
    bool hold() {
        std::lock_guard lock(mutex_);
        ++generation_;
        return spare_.addr != nullptr;
    }

    // The kept segment when it has `size`; one of another size stays kept (the small
    // grabs between two of the screen do not spoil it).
    Segment take(std::size_t size) {
        Segment s;
        {
            std::lock_guard lock(mutex_);
            ++generation_;
            if (spare_.size == size) s = std::exchange(spare_, Segment{});
        }
        giveBack();
        return s;
    }

    // The last copy of a picture that lived in `s` is gone.
    void keep(const Segment& s) {
        std::lock_guard lock(mutex_);
        if (spare_.addr) retired_.push_back(spare_);
        spare_ = s;
        const quint64 generation = ++generation_;
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [this, generation] {
                QTimer::singleShot(kSpareKeptMs, [this, generation] { dropIfIdle(generation); });
            });
    }

    // Gives back `s`, which was never kept; on the GUI thread.
    void drop(const Segment& s) {
        {
            std::lock_guard lock(mutex_);
            retired_.push_back(s);
        }
        giveBack();
    }

private:
    void dropIfIdle(quint64 generation) {
        {
            std::lock_guard lock(mutex_);
            if (generation != generation_ || !spare_.addr) return;
            retired_.push_back(std::exchange(spare_, Segment{}));
        }
        giveBack();
    }

    // The server lets go of the retired segments; detaching ours takes a few
    // milliseconds for a large one, so that happens beside the GUI thread, which has the
    // screen to repaint.
    void giveBack() {
        std::vector<Segment> old;
        xcb_connection_t* c = nullptr;
        {
            std::lock_guard lock(mutex_);
            old.swap(retired_);
            c = c_;
        }
        for (const Segment& s : old) {
            if (s.server && c) {
                // Nothing waits for the answer: a detach that fails has nothing to undo.
                xcb_discard_reply(c, xcb_shm_detach_checked(c, s.server).sequence);
                xcb_flush(c);
            }
            if (!s.addr) continue;
            shmctl(s.id, IPC_RMID, nullptr); // ours still while we have it attached
            std::thread([addr = s.addr] { shmdt(addr); }).detach();
        }
    }

    std::mutex mutex_;
    xcb_connection_t* c_ = nullptr;
    Segment spare_;
    std::vector<Segment> retired_;
    quint64 generation_ = 0;
};

void releaseSegment(void* info) {
    const std::unique_ptr<Segment> s(static_cast<Segment*>(info));
    SpareSegment::instance().keep(*s);
}

// Wider window edges than any screen are not believed.
constexpr std::uint32_t kMaxEdgeWidth = 1u << 15;

// The pixel layout of the screen's visual, from the connection's set-up.
struct PixelLayout {
    int depth = 0;
    int bitsPerPixel = 0;
    int scanlinePad = 0;
    bool lsbFirst = true;
    std::uint32_t red = 0, green = 0, blue = 0;
};

PixelLayout layoutOf(xcb_connection_t* c, const xcb_screen_t* screen) {
    PixelLayout l;
    const xcb_setup_t* setup = xcb_get_setup(c);
    l.depth = screen->root_depth;
    l.lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == l.depth) {
            l.bitsPerPixel = f.data->bits_per_pixel;
            l.scanlinePad = f.data->scanline_pad;
        }
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual) {
                l.red = v.data->red_mask;
                l.green = v.data->green_mask;
                l.blue = v.data->blue_mask;
            }
    return l;
}

class X11ScreenGrabber;
X11ScreenGrabber* g_grabber = nullptr; // the one made, until the application goes

class X11ScreenGrabber final : public ScreenGrabber, public X11Windows {
public:
    X11ScreenGrabber() : c_(x11Connection()) {
        if (!c_) return;
        const xcb_screen_t* screen = x11Screen(c_);
        root_ = screen->root;
        layout_ = layoutOf(c_, screen);
        directLayout_ = (layout_.depth == 24 || layout_.depth == 32) &&
                        layout_.bitsPerPixel == 32 && layout_.red == 0xff0000 &&
                        layout_.green == 0x00ff00 && layout_.blue == 0x0000ff;
        const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c_, &xcb_shm_id);
        shm_ = directLayout_ && shm && shm->present;
        const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c_, &xcb_randr_id);
        randr_ = randr && randr->present;
        SpareSegment::instance().setConnection(c_);
        // The server's attachments are given back while the connection is still there.
        g_grabber = this;
        qAddPostRoutine([] {
            if (g_grabber) g_grabber->close();
        });
    }
    ~X11ScreenGrabber() override {
        close();
        if (g_grabber == this) g_grabber = nullptr;
    }

    // The window in front is whatever the user clicks during the wait.
    GrabModes modes() const override {
        if (!c_) return {};
        return GrabMode::WholeScreen | GrabMode::AllMonitors | GrabMode::ActiveWindow |
               GrabMode::WindowPickedByClick;
    }

    QRect rootRect() const override {
        if (!c_) return {};
        const auto root = x11Reply(xcb_get_geometry_reply, c_, xcb_get_geometry(c_, root_));
        return root ? QRect(0, 0, root->width, root->height) : QRect();
    }

    QRect primaryScreen() const override {
        if (QScreen* s = QGuiApplication::primaryScreen())
            return screenDeviceRect(s, monitors()).intersected(rootRect());
        return rootRect();
    }

    // RandR's monitors, which Qt takes for its screens: their device geometry exactly,
    // where a scaled size would be rounded.
    QList<Monitor> monitors() const override {
        QList<Monitor> list;
        const auto reply = c_ && randr_ ? x11Reply(xcb_randr_get_monitors_reply, c_,
                                                   xcb_randr_get_monitors(c_, root_, true))
                                        : nullptr;
        if (!reply) return ScreenGrabber::monitors();
        std::vector<xcb_get_atom_name_cookie_t> names;
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
             xcb_randr_monitor_info_next(&it)) {
            names.push_back(xcb_get_atom_name(c_, it.data->name));
            list.append(
                {QString(), QRect(it.data->x, it.data->y, it.data->width, it.data->height)});
        }
        for (std::size_t i = 0; i < names.size(); ++i)
            if (const auto name = x11Reply(xcb_get_atom_name_reply, c_, names[i]))
                list[qsizetype(i)].name = QString::fromUtf8(
                    xcb_get_atom_name_name(name.get()), xcb_get_atom_name_name_length(name.get()));
        return list.isEmpty() ? ScreenGrabber::monitors() : list;
    }

    std::unique_ptr<GrabRequest> request(const GrabOrder& order) override {
        return GrabRequest::answered(grabNow(order));
    }

    GrabAnswer grabNow(const GrabOrder& order) override {
        if (!c_) return {};
        const QRect screen = primaryScreen();
        switch (order.target) {
        case GrabTarget::Rectangle:
            return {grabRoot(order.rect), {}};
        case GrabTarget::PickedWindow: // no desktop dialog: the window in front
        case GrabTarget::ActiveWindow:
            break;
        }
        const WindowId window = activeWindow();
        // With no active window (the desktop in front) the picture is the whole screen,
        // as a window device context of no window would give. So it is with the
        // program's own window, which has stepped aside even where the window manager
        // still names it active.
        if (window == 0 || (order.ownWindow && window == order.ownWindow->winId()))
            return {grabRoot(screen), {}};
        const QRect outer = windowRect(window);
        if (outer.isNull()) return {};
        return {windowPicture(outer, monitors(), screen,
                              [this](const QRect& r) { return grabRoot(r); }),
                {}};
    }

    QImage grabRoot(const QRect& rect) override {
        if (rect.isEmpty()) return {};
        const QRect part = rect & rootRect();
        QImage shot = c_ && shm_ && !part.isEmpty() ? grabShm(part) : QImage();
        if (!shot.isNull() && part == rect) return shot;
        QImage out(rect.size(), QImage::Format_RGB32);
        if (out.isNull()) return {};
        if (part != rect) out.fill(Qt::black);
        if (part.isEmpty() || !c_) return out;
        const QPoint at = part.topLeft() - rect.topLeft();
        if (shot.isNull()) {
            grabPlain(part, out, at);
        } else {
            for (int y = 0; y < shot.height(); ++y)
                std::memcpy(out.scanLine(at.y() + y) + std::size_t(at.x()) * 4,
                            shot.constScanLine(y), std::size_t(shot.width()) * 4);
        }
        return out;
    }

    void prepareScreenGrab() override {
        if (!c_ || !shm_ || prepared_.valid() || SpareSegment::instance().hold()) return;
        prepared_ = std::async(std::launch::async, warmSegment, c_, root_, primaryScreen());
    }

    WindowId activeWindow() override {
        if (!c_) return 0;
        // Either counts only as a client window that is shown: with the desktop in front
        // the focus rests on a window of the window manager's own (one pixel, out of
        // sight), and then there is no active window.
        const auto active = propertyItems(c_, root_, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
        if (!active.empty())
            if (const xcb_window_t w = shownClientWindow(c_, root_, active.front())) return w;
        const auto focus = x11Reply(xcb_get_input_focus_reply, c_, xcb_get_input_focus(c_));
        return focus ? shownClientWindow(c_, root_, focus->focus) : 0;
    }

    WindowId frameOf(WindowId window) override {
        if (!c_ || window == 0) return 0;
        auto w = static_cast<xcb_window_t>(window);
        if (w == root_) return w;
        for (int guard = 0; guard < 64; ++guard) {
            const auto tree = x11Reply(xcb_query_tree_reply, c_, xcb_query_tree(c_, w));
            if (!tree) return 0;
            if (tree->parent == root_ || tree->parent == XCB_WINDOW_NONE) return w;
            w = tree->parent;
        }
        return 0;
    }

    // The window as it is seen. The frame window's own size is no measure of that:
    // GNOME Shell's holds invisible borders to resize by.
    QRect windowRect(WindowId window) override {
        if (!c_ || window == 0) return {};
        const auto w = static_cast<xcb_window_t>(window);
        if (w == root_) return primaryScreen();
        const QRect client = geometryOf(w, false);
        if (client.isNull()) return {};
        std::optional<QMargins> frame = edgeWidths(w, "_NET_FRAME_EXTENTS");
        if (!frame) {
            // No word from a window manager: the frame window's reach around the client
            // (without a window manager, the client's own border).
            const WindowId outer = frameOf(window);
            const QRect framed =
                outer ? geometryOf(static_cast<xcb_window_t>(outer), true) : QRect();
            if (framed.isNull()) return {};
            frame = QMargins(client.left() - framed.left(), client.top() - framed.top(),
                             framed.right() - client.right(), framed.bottom() - client.bottom());
        }
        return seenWindowRect(client, *frame,
                              edgeWidths(w, "_GTK_FRAME_EXTENTS").value_or(QMargins()));
    }

    QRect clientRect(WindowId window) override {
        if (!c_ || window == 0) return {};
        if (static_cast<xcb_window_t>(window) == root_) return primaryScreen();
        return geometryOf(static_cast<xcb_window_t>(window), false);
    }

private:
    void close() {
        dropPrepared();
        if (!c_) return;
        SpareSegment::instance().setConnection(nullptr);
        c_ = nullptr;
    }

    // Four widths that a window manager or a client sets on a window, in the order left,
    // right, top, bottom; none when the property is not set as four of them.
    std::optional<QMargins> edgeWidths(xcb_window_t w, const char* property) {
        const std::vector<std::uint32_t> v = propertyItems(c_, w, property, XCB_ATOM_CARDINAL);
        if (v.size() != 4) return std::nullopt;
        const auto width = [](std::uint32_t n) { return int(std::min(n, kMaxEdgeWidth)); };
        return QMargins(width(v[0]), width(v[2]), width(v[1]), width(v[3]));
    }

    QRect geometryOf(xcb_window_t w, bool withBorder) {
        const auto geometryCookie = xcb_get_geometry(c_, w);
        const auto placeCookie = xcb_translate_coordinates(c_, w, root_, 0, 0);
        const auto geometry = x11Reply(xcb_get_geometry_reply, c_, geometryCookie);
        const auto place = x11Reply(xcb_translate_coordinates_reply, c_, placeCookie);
        if (!geometry || !place) return {};
        const int b = withBorder ? geometry->border_width : 0;
        return QRect(place->dst_x - b, place->dst_y - b, geometry->width + 2 * b,
                     geometry->height + 2 * b);
    }

    // A picture of `part` that lives in a shared memory segment: the server writes into
    // it and the image keeps it, handing it back with its last copy. Nothing is copied,
    // and no segment stays behind long between grabs (at 4K one is 32 MB).
    QImage grabShm(const QRect& part) {
        const int bytesPerLine = part.width() * 4;
        const std::size_t size = std::size_t(bytesPerLine) * std::size_t(part.height());
        Segment s = segmentFor(size);
        if (!s.addr) return {};
        const bool copied = shmCopy(c_, root_, s, part, true);
        if (!s.server) { // the server cannot attach our segments
            shm_ = false;
            dropSegment(s);
            return {};
        }
        if (!copied) {
            SpareSegment::instance().drop(s);
            return {};
        }
        return QImage(static_cast<uchar*>(s.addr), part.width(), part.height(), bytesPerLine,
                      QImage::Format_RGB32, releaseSegment, new Segment(s));
    }

    // The kept segment, or the one readied by prepareScreenGrab, when it has the size,
    // else a new one.
    Segment segmentFor(std::size_t size) {
        if (const Segment spare = SpareSegment::instance().take(size); spare.addr) {
            dropPrepared();
            return spare;
        }
        if (prepared_.valid()) {
            Segment warmed = prepared_.get();
            if (warmed.size == size) return warmed;
            SpareSegment::instance().drop(warmed);
        }
        return newSegment(size);
    }

    void dropPrepared() {
        if (prepared_.valid()) SpareSegment::instance().drop(prepared_.get());
    }

    void grabPlain(const QRect& part, QImage& out, QPoint at) {
        const auto image =
            x11Reply(xcb_get_image_reply, c_,
                     xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, std::int16_t(part.x()),
                                   std::int16_t(part.y()), std::uint16_t(part.width()),
                                   std::uint16_t(part.height()), ~0u));
        const int bytesPerPixel = layout_.bitsPerPixel / 8;
        if (!image || layout_.bitsPerPixel % 8 != 0 || bytesPerPixel < 1 || bytesPerPixel > 4 ||
            layout_.scanlinePad % 8 != 0 || layout_.scanlinePad == 0)
            return;
        const int pad = layout_.scanlinePad / 8;
        const std::size_t bytesPerLine =
            (std::size_t(part.width()) * std::size_t(bytesPerPixel) + pad - 1) / pad * pad;
        const std::uint8_t* data = xcb_get_image_data(image.get());
        if (std::size_t(xcb_get_image_data_length(image.get())) < bytesPerLine * part.height())
            return;
        for (int y = 0; y < part.height(); ++y) {
            const std::uint8_t* row = data + std::size_t(y) * bytesPerLine;
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(at.y() + y)) + at.x();
            for (int x = 0; x < part.width(); ++x) {
                const std::uint8_t* px = row + std::size_t(x) * std::size_t(bytesPerPixel);
                std::uint32_t p = 0;
                for (int i = 0; i < bytesPerPixel; ++i)
                    p |= std::uint32_t(px[layout_.lsbFirst ? i : bytesPerPixel - 1 - i]) << (8 * i);
                line[x] = directLayout_ ? (p | 0xff000000u)
                                        : qRgb(scale(p, layout_.red), scale(p, layout_.green),
                                               scale(p, layout_.blue));
            }
        }
    }

    static int scale(std::uint32_t pixel, std::uint32_t mask) {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const std::uint32_t m = mask >> shift;
        return static_cast<int>(((pixel >> shift) & m) * 255 / m);
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    PixelLayout layout_;
    bool directLayout_ = false;
    bool shm_ = false;
    bool randr_ = false;
    std::future<Segment> prepared_; // made on a thread of its own meanwhile
};

} // namespace

X11Windows* x11Windows() {
    screenGrabber(); // made on first use
    return g_grabber;
}

std::unique_ptr<ScreenGrabber> makeX11ScreenGrabber() {
    return std::make_unique<X11ScreenGrabber>();
}

} // namespace kamsulo::platform
