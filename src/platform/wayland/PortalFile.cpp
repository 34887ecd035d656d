#include "platform/wayland/PortalFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kamsulo::platform {

namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads the file to its end into `bytes`, sized as fstat found it; false on an error
// or when there is more (a file still being written is no finished picture).
bool readToEnd(int fd, QByteArray& bytes) {
    qsizetype got = 0;
    char beyond;
    for (;;) {
        const bool full = got == bytes.size();
        const ssize_t n = full ? ::read(fd, &beyond, 1)
                               : ::read(fd, bytes.data() + got, std::size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || (full && n > 0)) return false;
        if (n == 0) {
            bytes.truncate(got);
            return true;
        }
        got += n;
    }
}

} // namespace

std::optional<QByteArray> takePortalFile(const QString& path, qint64 maxBytes) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) return std::nullopt;
    // Not blocking: a FIFO in the file's place would wait for a writer.
    const Fd fd(
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_uid != ::geteuid())
        return std::nullopt;
    // Removed only while the name still leads to the file opened.
    struct stat named {};
    if (::lstat(name.constData(), &named) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino)
        ::unlink(name.constData());
    if (opened.st_size > maxBytes) return std::nullopt;
    QByteArray bytes(qsizetype(opened.st_size), Qt::Uninitialized);
    if (!readToEnd(fd.get(), bytes)) return std::nullopt;
    return bytes;
}

} // namespace kamsulo::platform
