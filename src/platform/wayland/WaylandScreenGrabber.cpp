// Screen and window copies on Wayland, where no client may read the screen itself:
// a frame of the whole desktop, cropped in device pixels, from KWin on KDE Plasma
// (faster than the portal there) and elsewhere from the desktop portal. The active
// window comes from sway's IPC (its rectangle, cut from a portal frame), from KWin on
// KDE Plasma, and elsewhere from the portal's own dialog, where the user picks the
// window. A KWin that does not authorise this program leaves both to the portal.
#include "platform/Backends.h"
#include "platform/ScreenGrabber.h"
#include "platform/WindowBounds.h"
#include "platform/wayland/KWinScreenShot.h"
#include "platform/wayland/OutputLayout.h"
#include "platform/wayland/OutputModes.h"
#include "platform/wayland/PortalScreenshot.h"
#include "platform/wayland/PreparedPicture.h"
#include "platform/wayland/SwayFocus.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cstdio>
#include <memory>
#include <utility>

namespace kamsulo::platform {

namespace {

const char* const noKWinText = "Das aktive Fenster ließ sich nicht aufnehmen: KWin hat die "
                               "Aufnahme verweigert.";
const char* const notAuthorizedLine =
    "kamsulo: KWin erlaubt diesem Programm keine direkten Bildschirmfotos (kein "
    "Desktop-Eintrag mit X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2, dessen "
    "Exec auf genau diese Programmdatei zeigt, etwa beim Start aus einem Build-Ordner); es "
    "geht über den Bildschirmfoto-Dienst der Arbeitsumgebung weiter.\n";

enum class Desktop { Sway, Plasma, Other };

Desktop currentDesktop() {
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK")) return Desktop::Sway;
    if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE")))
        return Desktop::Plasma;
    return Desktop::Other;
}

// The outputs as Qt's screens and the compositor's modes show them now. An output whose
// mode is unknown has Qt's ratio.
OutputLayout currentLayout() {
    const QHash<QString, QSize> modes = currentOutputModes();
    QList<WaylandOutput> outputs;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QSize mode = modes.value(s->name(), s->geometry().size() * s->devicePixelRatio());
        outputs.append({s->name(), s->geometry(), mode});
    }
    return OutputLayout(outputs);
}

class WaylandScreenGrabber final : public ScreenGrabber {
public:
    // sway names the focused window, KWin hands it out (or leaves it to the portal's
    // dialog when it does not authorise the program); elsewhere only the portal's dialog
    // picks a window.
    GrabModes modes() const override {
        const GrabModes desktop = GrabMode::WholeScreen | GrabMode::AllMonitors;
        if (currentDesktop() == Desktop::Other) return desktop | GrabMode::WindowPickedByDesktop;
        return desktop | GrabMode::ActiveWindow | GrabMode::WindowPickedByClick;
    }
    // The desktop's device pixels: its top-left corner is 0,0, every output keeps its own
    // pixels.
    QRect primaryScreen() const override {
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? currentLayout().device(s->name()) : QRect();
    }
    QRect rootRect() const override { return currentLayout().desktop(); }
    QList<Monitor> monitors() const override {
        const OutputLayout layout = currentLayout();
        QList<Monitor> list;
        for (const QScreen* s : QGuiApplication::screens())
            list.append({s->name(), layout.device(s->name())});
        return list;
    }
    // TODO(async): asks through PortalScreenshot itself once the backends are apart.
    std::unique_ptr<GrabRequest> request(const GrabOrder& order) override {
        return GrabRequest::answered(grabNow(order));
    }

    GrabAnswer grabNow(const GrabOrder& order) override {
        const QImage picture = take(order);
        return {picture, picture.isNull() ? failure_ : QString()};
    }

private:
    QImage take(const GrabOrder& order) {
        if (order.target == GrabTarget::Rectangle) return grabRoot(order.rect);
        // Some desktops hand out the window's picture only whole.
        if (std::optional<QImage> whole = grabActiveWindow()) return *whole;
        // sway's focused window, cut from the desktop's picture; the whole screen with
        // no window in front.
        const QRect screen = primaryScreen();
        const std::optional<QRect> outer = focusedWindowRect();
        if (!outer) return grabRoot(screen);
        return windowPicture(*outer, monitors(), screen,
                             [this](const QRect& r) { return grabRoot(r); });
    }

    QImage grabRoot(const QRect& rect) {
        failure_.clear();
        if (rect.isEmpty()) return {};
        const OutputLayout layout = currentLayout();
        const QImage desktop = layout.fromFrame(wholeDesktop(layout.frameSize()));
        if (desktop.isNull()) return {};
        if (desktop.rect() == rect) return desktop;
        if (desktop.rect().contains(rect)) return desktop.copy(rect);
        // Parts outside the frame are black.
        QImage out(rect.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter(&out).drawImage(QPoint(0, 0), desktop, rect);
        return out;
    }

    std::optional<QImage> grabActiveWindow() {
        failure_.clear();
        // Only sway's window is cut from the desktop picture.
        if (currentDesktop() != Desktop::Sway) takePrepared();
        switch (currentDesktop()) {
        case Desktop::Sway:
            return std::nullopt; // focusedWindowRect() serves
        case Desktop::Plasma: {
            KWinShot shot = kwinActiveWindow();
            if (!kwinAuthorizes(shot)) break; // the portal's dialog instead
            if (shot.picture.isNull()) failure_ = QString::fromUtf8(noKWinText);
            return shot.picture;
        }
        case Desktop::Other:
            break;
        }
        PortalShot shot = portalScreenshot(true);
        failure_ = shot.failure;
        return shot.picture;
    }

public:
    // A capture is coming after the window's pauses: the session bus is connected and
    // the desktop picture's memory readied meanwhile.
    void prepareScreenGrab() override {
        QDBusConnection::sessionBus();
        prepared_ =
            std::make_unique<PreparedPicture>(currentLayout().frameSize(), QImage::Format_RGB32);
    }

private:
    // sway's focused window in device pixels of the desktop; none when no window has
    // the focus.
    std::optional<QRect> focusedWindowRect() {
        const std::optional<SwayWindow> focused = swayFocusedWindow();
        if (!focused) return std::nullopt;
        return currentLayout().toDevice(focused->rect);
    }

    // The memory readied for the next grab's desktop picture; it goes with that grab.
    QImage takePrepared() {
        QImage memory = prepared_ ? prepared_->take() : QImage();
        prepared_.reset();
        return memory;
    }

    std::unique_ptr<PreparedPicture> prepared_;
    // The desktop's frame (of `size`, likely): KWin's own when it lets this program take
    // it, else the portal's; null with failure_ set when neither gave one.
    QImage wholeDesktop(QSize size) {
        QImage memory = takePrepared();
        if (currentDesktop() == Desktop::Plasma) {
            KWinShot shot = kwinWorkspace(size);
            if (shot.answer == KWinAnswer::Taken) return shot.picture;
            kwinAuthorizes(shot);
        }
        PortalShot shot = portalScreenshot(false, std::move(memory));
        failure_ = shot.failure;
        return shot.picture;
    }

    // False when KWin refused this program; says so on stderr the first time. KWin is
    // asked again each time: a desktop entry installed meanwhile authorises the program.
    bool kwinAuthorizes(const KWinShot& shot) {
        if (shot.answer != KWinAnswer::NotAuthorized) return true;
        if (!refusalTold_) std::fputs(notAuthorizedLine, stderr);
        refusalTold_ = true;
        return false;
    }

    QString failure_;
    bool refusalTold_ = false;
};

} // namespace

std::unique_ptr<ScreenGrabber> makeWaylandScreenGrabber() {
    return std::make_unique<WaylandScreenGrabber>();
}

} // namespace kamsulo::platform
