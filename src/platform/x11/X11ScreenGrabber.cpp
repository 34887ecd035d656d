// Screen and window copies on X11: MIT-SHM (XShmGetImage) when the server offers it,
// plain XGetImage otherwise. One connection of our own, kept for the program's life.
#include "platform/Backends.h"
#include "platform/ScreenGrabber.h"
#include "platform/WindowBounds.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <memory>
#include <mutex>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <thread>
#include <utility>
#include <vector>

#include "platform/x11/X11ClientWindow.h" // Xlib's macros after Qt's headers
#include "platform/x11/X11Properties.h"

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
    ShmSeg server = 0; // the server's attachment while it keeps one
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

void dropSegment(const Segment& s) {
    if (!s.addr) return;
    shmctl(s.id, IPC_RMID, nullptr);
    shmdt(s.addr);
}

// A segment readied for a grab of `screen`, on a thread: our pages in place, and the
// server's too. The server maps a segment once for all the clients that attach it, so
// a connection of the thread's own attaches it and has the server write into it once;
// it stays open until the grab's connection has attached the segment as well.
struct Warmed {
    Segment segment;
    Display* warmer = nullptr;
};

Warmed warmSegment(const QRect& screen) {
    Warmed w{newSegment(std::size_t(screen.width()) * std::size_t(screen.height()) * 4)};
    if (!w.segment.addr) return w;
    w.warmer = XOpenDisplay(nullptr);
    if (!w.warmer) return w;
    XShmSegmentInfo seg{};
    seg.shmid = w.segment.id;
    seg.shmaddr = static_cast<char*>(w.segment.addr);
    seg.readOnly = False;
    if (!XShmAttach(w.warmer, &seg)) return w;
    const int scr = DefaultScreen(w.warmer);
    if (XImage* img =
            XShmCreateImage(w.warmer, DefaultVisual(w.warmer, scr), DefaultDepth(w.warmer, scr),
                            ZPixmap, seg.shmaddr, &seg, screen.width(), screen.height())) {
        XShmGetImage(w.warmer, DefaultRootWindow(w.warmer), img, screen.x(), screen.y(), AllPlanes);
        img->data = nullptr;
        XDestroyImage(img);
    }
    XSync(w.warmer, False);
    return w;
}

void closeWarmer(Display*& warmer) {
    if (warmer) XCloseDisplay(warmer);
    warmer = nullptr;
}

// The segment of the last picture that was let go, kept for the next grab of its size
// together with the server's attachment: the pages are in place on both sides, so that
// grab costs no page faults (32 MB at 4K). It is given back after a short idle spell,
// so that no copy of the screen stays in memory long. X requests are made on the GUI
// thread only; a picture may be let go on another.
constexpr int kSpareKeptMs = 1000;

class SpareSegment {
public:
    // Never destroyed: pictures may be let go while the program ends.
    static SpareSegment& instance() {
        static auto* spare = new SpareSegment;
        return *spare;
    }

    // The connection the server's attachments belong to; null once it is closed.
    void setDisplay(Display* dpy) {
        std::lock_guard lock(mutex_);
        dpy_ = dpy;
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
        Display* dpy = nullptr;
        {
            std::lock_guard lock(mutex_);
            old.swap(retired_);
            dpy = dpy_;
        }
        for (const Segment& s : old) {
            if (s.server && dpy) {
                XShmSegmentInfo seg{};
                seg.shmseg = s.server;
                XShmDetach(dpy, &seg);
                XFlush(dpy);
            }
            if (s.addr) std::thread([addr = s.addr] { shmdt(addr); }).detach();
        }
    }

    std::mutex mutex_;
    Display* dpy_ = nullptr;
    Segment spare_;
    std::vector<Segment> retired_;
    quint64 generation_ = 0;
};

void releaseSegment(void* info) {
    const std::unique_ptr<Segment> s(static_cast<Segment*>(info));
    SpareSegment::instance().keep(*s);
}

std::atomic<int> g_xerror = 0; // the warming connection reports here too
int swallowXError(Display*, XErrorEvent* e) {
    g_xerror = e->error_code ? e->error_code : 1;
    return 0;
}

// Runs an X request with errors caught instead of ending the program.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : dpy_(d) {
        XSync(dpy_, False);
        g_xerror = 0;
    }
    bool failed() {
        XSync(dpy_, False);
        return g_xerror != 0;
    }

private:
    Display* dpy_;
};

// Wider window edges than any screen are not believed.
constexpr unsigned long kMaxEdgeWidth = 1u << 15;

class X11ScreenGrabber final : public ScreenGrabber {
public:
    X11ScreenGrabber() {
        XSetErrorHandler(swallowXError);
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_) return;
        root_ = DefaultRootWindow(dpy_);
        const int scr = DefaultScreen(dpy_);
        visual_ = DefaultVisual(dpy_, scr);
        depth_ = DefaultDepth(dpy_, scr);
        directLayout_ = (depth_ == 24 || depth_ == 32) && visual_->red_mask == 0xff0000 &&
                        visual_->green_mask == 0x00ff00 && visual_->blue_mask == 0x0000ff;
        shm_ = directLayout_ && XShmQueryExtension(dpy_);
        SpareSegment::instance().setDisplay(dpy_);
    }
    ~X11ScreenGrabber() override {
        dropPrepared();
        if (!dpy_) return;
        SpareSegment::instance().setDisplay(nullptr);
        XCloseDisplay(dpy_);
    }

    QRect rootRect() const override {
        if (!dpy_) return {};
        const int scr = DefaultScreen(dpy_);
        return QRect(0, 0, DisplayWidth(dpy_, scr), DisplayHeight(dpy_, scr));
    }

    WindowId rootWindow() const override { return root_; }

    QRect primaryScreen() const override {
        if (QScreen* s = QGuiApplication::primaryScreen())
            return screenDeviceRect(s, monitors()).intersected(rootRect());
        return rootRect();
    }

    // RandR's monitors, which Qt takes for its screens: their device geometry exactly,
    // where a scaled size would be rounded.
    QList<Monitor> monitors() const override {
        QList<Monitor> list;
        int count = 0;
        XRRMonitorInfo* info = dpy_ ? XRRGetMonitors(dpy_, root_, True, &count) : nullptr;
        for (int i = 0; i < count; ++i) {
            char* name = XGetAtomName(dpy_, info[i].name);
            list.append({QString::fromUtf8(name ? name : ""),
                         QRect(info[i].x, info[i].y, info[i].width, info[i].height)});
            if (name) XFree(name);
        }
        if (info) XRRFreeMonitors(info);
        return list.isEmpty() ? ScreenGrabber::monitors() : list;
    }

    QImage grabRoot(const QRect& rect) override {
        if (rect.isEmpty()) return {};
        const QRect part = rect & rootRect();
        QImage shot = dpy_ && shm_ && !part.isEmpty() ? grabShm(part) : QImage();
        if (!shot.isNull() && part == rect) return shot;
        QImage out(rect.size(), QImage::Format_RGB32);
        if (out.isNull()) return {};
        if (part != rect) out.fill(Qt::black);
        if (part.isEmpty() || !dpy_) return out;
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
        if (!dpy_ || !shm_ || prepared_.valid() || SpareSegment::instance().hold()) return;
        const QRect screen = primaryScreen();
        prepared_ = std::async(std::launch::async, warmSegment, screen);
    }

    WindowId activeWindow() override {
        if (!dpy_) return 0;
        // Either counts only as a client window that is shown: with the desktop in front
        // the focus rests on a window of the window manager's own (one pixel, out of
        // sight), and then there is no active window.
        if (const Window w = shownClientWindow(dpy_, netActiveWindow())) return w;
        Window focus = None;
        int revert = 0;
        XGetInputFocus(dpy_, &focus, &revert);
        return shownClientWindow(dpy_, focus);
    }

    WindowId frameOf(WindowId window) override {
        if (!dpy_ || window == 0) return 0;
        Window w = static_cast<Window>(window);
        if (w == root_) return w;
        for (int guard = 0; guard < 64; ++guard) {
            Window rootRet = None, parent = None;
            Window* children = nullptr;
            unsigned int n = 0;
            ErrorTrap trap(dpy_);
            const Status ok = XQueryTree(dpy_, w, &rootRet, &parent, &children, &n);
            if (children) XFree(children);
            if (trap.failed() || !ok) return 0;
            if (parent == root_ || parent == None) return w;
            w = parent;
        }
        return 0;
    }

    // The window as it is seen. The frame window's own size is no measure of that:
    // GNOME Shell's holds invisible borders to resize by.
    QRect windowRect(WindowId window) override {
        if (!dpy_ || window == 0) return {};
        const Window w = static_cast<Window>(window);
        if (w == root_) return primaryScreen();
        const QRect client = geometryOf(w, false);
        if (client.isNull()) return {};
        std::optional<QMargins> frame = edgeWidths(w, "_NET_FRAME_EXTENTS");
        if (!frame) {
            // No word from a window manager: the frame window's reach around the client
            // (without a window manager, the client's own border).
            const WindowId outer = frameOf(window);
            const QRect framed = outer ? geometryOf(static_cast<Window>(outer), true) : QRect();
            if (framed.isNull()) return {};
            frame = QMargins(client.left() - framed.left(), client.top() - framed.top(),
                             framed.right() - client.right(), framed.bottom() - client.bottom());
        }
        return seenWindowRect(client, *frame,
                              edgeWidths(w, "_GTK_FRAME_EXTENTS").value_or(QMargins()));
    }

    QRect clientRect(WindowId window) override {
        if (!dpy_ || window == 0) return {};
        if (static_cast<Window>(window) == root_) return primaryScreen();
        return geometryOf(static_cast<Window>(window), false);
    }

private:
    // The window manager's _NET_ACTIVE_WINDOW; None when it names none.
    Window netActiveWindow() {
        const Atom active = XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", True);
        if (active == None) return None;
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        ErrorTrap trap(dpy_);
        Window w = None;
        if (XGetWindowProperty(dpy_, root_, active, 0, 1, False, XA_WINDOW, &type, &format, &n,
                               &after, &data) == Success &&
            data && type == XA_WINDOW && format == 32 && n == 1)
            w = *reinterpret_cast<Window*>(data);
        if (data) XFree(data);
        return trap.failed() ? None : w;
    }

    // Four widths that a window manager or a client sets on a window, in the order left,
    // right, top, bottom; none when the property is not set as four of them.
    std::optional<QMargins> edgeWidths(Window w, const char* property) {
        ErrorTrap trap(dpy_);
        const std::vector<unsigned long> v = propertyItems(dpy_, w, property, XA_CARDINAL);
        if (trap.failed() || v.size() != 4) return std::nullopt;
        const auto width = [](unsigned long n) { return int(std::min(n, kMaxEdgeWidth)); };
        return QMargins(width(v[0]), width(v[2]), width(v[1]), width(v[3]));
    }

    QRect geometryOf(Window w, bool withBorder) {
        XWindowAttributes a;
        ErrorTrap trap(dpy_);
        if (!XGetWindowAttributes(dpy_, w, &a) || trap.failed()) return {};
        int x = 0, y = 0;
        Window child = None;
        if (!XTranslateCoordinates(dpy_, w, root_, 0, 0, &x, &y, &child) || trap.failed())
            return {};
        const int b = withBorder ? a.border_width : 0;
        return QRect(x - b, y - b, a.width + 2 * b, a.height + 2 * b);
    }

    // A picture of `part` that lives in a shared memory segment: the server writes into
    // it and the image keeps it, handing it back with its last copy. Nothing is copied,
    // and no segment stays behind long between grabs (at 4K one is 32 MB).
    QImage grabShm(const QRect& part) {
        const int bytesPerLine = part.width() * 4;
        const std::size_t size = std::size_t(bytesPerLine) * std::size_t(part.height());
        Segment s = segmentFor(size);
        if (!s.addr) return {};
        void* addr = s.addr;
        XShmSegmentInfo seg{};
        seg.shmid = s.id;
        seg.shmaddr = static_cast<char*>(addr);
        seg.readOnly = False;
        seg.shmseg = s.server;
        bool ok = false;
        ErrorTrap trap(dpy_);
        if (!s.server) {
            const bool attached = XShmAttach(dpy_, &seg) && !trap.failed();
            closeWarmer(warmer_);
            shmctl(s.id, IPC_RMID, nullptr); // freed once both sides detach
            if (!attached) {
                shm_ = false;
                shmdt(addr);
                return {};
            }
            s.server = seg.shmseg;
        }
        XImage* img = XShmCreateImage(dpy_, visual_, depth_, ZPixmap, seg.shmaddr, &seg,
                                      part.width(), part.height());
        if (img) {
            ok = XShmGetImage(dpy_, root_, img, part.x(), part.y(), AllPlanes) && !trap.failed() &&
                 img->bits_per_pixel == 32 && img->bytes_per_line == bytesPerLine;
            img->data = nullptr;
            XDestroyImage(img);
        }
        if (!ok) {
            SpareSegment::instance().drop(s);
            return {};
        }
        auto* pixels = static_cast<quint32*>(addr);
        for (std::size_t i = 0, n = size / 4; i < n; ++i)
            pixels[i] |= 0xff000000u; // opaque, as Format_RGB32 wants
        return QImage(static_cast<uchar*>(addr), part.width(), part.height(), bytesPerLine,
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
            Warmed w = prepared_.get();
            if (w.segment.size == size) {
                warmer_ = w.warmer;
                return w.segment;
            }
            dropSegment(w.segment);
            closeWarmer(w.warmer);
        }
        return newSegment(size);
    }

    void dropPrepared() {
        if (!prepared_.valid()) return;
        Warmed w = prepared_.get();
        dropSegment(w.segment);
        closeWarmer(w.warmer);
    }

    void grabPlain(const QRect& part, QImage& out, QPoint at) {
        ErrorTrap trap(dpy_);
        XImage* img = XGetImage(dpy_, root_, part.x(), part.y(), part.width(), part.height(),
                                AllPlanes, ZPixmap);
        if (trap.failed() || !img) {
            if (img) XDestroyImage(img);
            return;
        }
        if (directLayout_ && img->bits_per_pixel == 32) {
            copyRows(img, out, at);
        } else {
            for (int y = 0; y < img->height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(out.scanLine(at.y() + y)) + at.x();
                for (int x = 0; x < img->width; ++x) {
                    const unsigned long p = XGetPixel(img, x, y);
                    line[x] = qRgb(scale(p, visual_->red_mask), scale(p, visual_->green_mask),
                                   scale(p, visual_->blue_mask));
                }
            }
        }
        XDestroyImage(img);
    }

    static int scale(unsigned long pixel, unsigned long mask) {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        const unsigned long m = mask >> shift;
        return static_cast<int>(((pixel >> shift) & m) * 255 / m);
    }

    static void copyRows(const XImage* img, QImage& out, QPoint at) {
        for (int y = 0; y < img->height; ++y) {
            const auto* src =
                reinterpret_cast<const quint32*>(img->data + std::size_t(y) * img->bytes_per_line);
            auto* dst = reinterpret_cast<quint32*>(out.scanLine(at.y() + y)) + at.x();
            for (int x = 0; x < img->width; ++x)
                dst[x] = src[x] | 0xff000000u;
        }
    }

    Display* dpy_ = nullptr;
    Window root_ = None;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    bool directLayout_ = false;
    bool shm_ = false;
    std::future<Warmed> prepared_; // made on a thread of its own meanwhile
    Display* warmer_ = nullptr;    // of the segment being attached
};

} // namespace

std::unique_ptr<ScreenGrabber> makeX11ScreenGrabber() {
    return std::make_unique<X11ScreenGrabber>();
}

} // namespace kamsulo::platform
