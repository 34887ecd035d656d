// The backend chosen at start from QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY and
// XDG_SESSION_TYPE, with a listening socket of the test's own as the Wayland compositor
// and the test's X display.
#include "platform/Backend.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <optional>

using kamsulo::platform::Backend;

namespace {

enum class Wayland { Listening, Gone, Unset };
enum class X { Reachable, Unset };

struct Case {
    const char* qpa; // nullptr: unset
    Wayland wayland;
    X x;
    const char* sessionType; // XDG_SESSION_TYPE; nullptr: unset
    std::optional<Backend> backend;
    const char* qpaAfter;
};

// The backend follows the session; Qt's platform only has to reach its display.
const Case kCases[] = {
    {nullptr, Wayland::Listening, X::Reachable, nullptr, Backend::Wayland, "wayland"},
    {nullptr, Wayland::Gone, X::Reachable, nullptr, Backend::X11, "xcb"},
    {nullptr, Wayland::Unset, X::Reachable, "x11", Backend::X11, "xcb"},
    {nullptr, Wayland::Unset, X::Unset, nullptr, std::nullopt, "xcb"},
    // Qt on XWayland in a Wayland session: the pictures still come from Wayland.
    {"xcb", Wayland::Listening, X::Reachable, nullptr, Backend::Wayland, "xcb"},
    {"xcb", Wayland::Unset, X::Reachable, "wayland", Backend::Wayland, "xcb"},
    {"xcb", Wayland::Listening, X::Unset, "wayland", std::nullopt, "xcb"},
    {"wayland", Wayland::Listening, X::Unset, "wayland", Backend::Wayland, "wayland"},
    {"wayland", Wayland::Gone, X::Reachable, nullptr, std::nullopt, "wayland"},
    {"offscreen", Wayland::Unset, X::Reachable, nullptr, Backend::X11, "offscreen"},
    {"offscreen", Wayland::Unset, X::Unset, nullptr, Backend::None, "offscreen"},
};

void setOrUnset(const char* name, const QByteArray& value, bool set) {
    if (set)
        qputenv(name, value);
    else
        qunsetenv(name);
}

} // namespace

TEST(BackendChoice, FollowsThePlatformAndTheReachableDisplays) {
    const QByteArray display = qgetenv("DISPLAY");
    ASSERT_FALSE(display.isEmpty()) << "runs on the test's X display";
    QTemporaryDir runtime;
    const QByteArray socketPath = QFile::encodeName(runtime.filePath(QStringLiteral("wl-0")));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 8), 0);
    const QByteArray saved[] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_SESSION_TYPE")};

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << (c.qpa ? c.qpa : "(unset)") << " wayland " << int(c.wayland) << " x "
                     << int(c.x) << " session " << (c.sessionType ? c.sessionType : "(unset)"));
        setOrUnset("QT_QPA_PLATFORM", c.qpa, c.qpa != nullptr);
        setOrUnset("WAYLAND_DISPLAY", c.wayland == Wayland::Gone ? "wl-gone" : "wl-0",
                   c.wayland != Wayland::Unset);
        setOrUnset("DISPLAY", display, c.x == X::Reachable);
        setOrUnset("XDG_SESSION_TYPE", c.sessionType, c.sessionType != nullptr);
        EXPECT_EQ(kamsulo::platform::loadBackend(), c.backend);
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), c.qpaAfter);
    }

    ::close(listener);
    qputenv("DISPLAY", display);
    setOrUnset("QT_QPA_PLATFORM", saved[0], !saved[0].isNull());
    setOrUnset("WAYLAND_DISPLAY", saved[1], !saved[1].isNull());
    setOrUnset("XDG_RUNTIME_DIR", saved[2], !saved[2].isNull());
    setOrUnset("XDG_SESSION_TYPE", saved[3], !saved[3].isNull());
    // The program's backend stays what the other tests expect.
    kamsulo::platform::loadBackend();
    EXPECT_EQ(kamsulo::platform::backend(), Backend::X11);
}
