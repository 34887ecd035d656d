#include "platform/wayland/SwayFocus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace kamsulo::platform {

namespace {

// The i3 IPC: "i3-ipc", then the payload's length and the message type, both 32 bits
// in the machine's byte order.
constexpr char ipcMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr int headerSize = int(sizeof ipcMagic) + 8;
constexpr quint32 getTree = 4;
constexpr int answerTimeoutSeconds = 3;

// One message and its answer on a connection of its own; empty when sway does not answer.
QByteArray ask(quint32 type) {
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= qsizetype(sizeof address.sun_path)) return {};
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return {};
    const timeval limit{answerTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    QByteArray answer;
    QByteArray request(ipcMagic, sizeof ipcMagic);
    const quint32 fields[2] = {0, type};
    request.append(reinterpret_cast<const char*>(fields), sizeof fields);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, request.constData(), size_t(request.size())) == request.size()) {
        qsizetype wanted = headerSize;
        char buffer[65536];
        while (answer.size() < wanted) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) break;
            answer.append(buffer, qsizetype(got));
            if (wanted == headerSize && answer.size() >= headerSize) {
                quint32 length = 0;
                std::memcpy(&length, answer.constData() + sizeof ipcMagic, sizeof length);
                wanted = headerSize + qsizetype(length);
            }
        }
        if (answer.size() < wanted) answer.clear();
    }
    ::close(fd);
    return answer.mid(headerSize);
}

std::optional<SwayWindow> focusedIn(const QJsonObject& node) {
    // Only a window has a process; a focused workspace or output is not one.
    if (node.value(QStringLiteral("focused")).toBool() && node.contains(QStringLiteral("pid"))) {
        const QJsonObject outer = node.value(QStringLiteral("rect")).toObject();
        const QJsonObject inner = node.value(QStringLiteral("window_rect")).toObject();
        const auto at = [](const QJsonObject& o, const char* key) {
            return o.value(QLatin1String(key)).toInt();
        };
        return SwayWindow{quint64(node.value(QStringLiteral("id")).toInteger()),
                          QRect(at(outer, "x") + at(inner, "x"), at(outer, "y") + at(inner, "y"),
                                at(inner, "width"), at(inner, "height"))};
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray())
            if (auto found = focusedIn(child.toObject())) return found;
    }
    return std::nullopt;
}

} // namespace

std::optional<SwayWindow> swayFocusedWindow() {
    const QJsonDocument tree = QJsonDocument::fromJson(ask(getTree));
    if (!tree.isObject()) return std::nullopt;
    return focusedIn(tree.object());
}

} // namespace kamsulo::platform
