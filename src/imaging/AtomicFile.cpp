#include "imaging/AtomicFile.h"

#include "imaging/ImagingStatus.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kamsulo::imaging {

namespace {

constexpr std::size_t BufferSize = 1 << 18;
// Written data is handed to the disk in steps of this size while the writer
// goes on, so that the sync at the end has little left to wait for.
constexpr off_t WritebackStep = 1 << 22;
// Links followed before a name counts as a loop, as the kernel does.
constexpr int MaxLinkHops = 40;
constexpr mode_t NewFileMode = 0666;     // less the umask
constexpr mode_t PrivateFileMode = 0600; // until the old file's mode is set
constexpr mode_t PermissionBits = 0777;

ssize_t systemWrite(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

WriteFunction g_write = systemWrite;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash + 1);
}

// The kernel's rule for links in shared folders (fs.protected_symlinks): in a sticky
// folder that everyone may write, a link is followed only when it belongs to the user
// or to the folder's owner. Anyone else's link there may point anywhere.
bool mayFollow(const std::string& linkPath, const struct stat& link) {
    const std::string folder = folderOf(linkPath);
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
    const bool shared = (st.st_mode & S_ISVTX) && (st.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == st.st_uid;
}

// Follows symbolic links in the last part of `path` to the file they stand for,
// which need not exist yet. False (error set) for a loop, an unreadable link, or a link
// that the kernel would not follow either (`foreignLink` set).
bool followLinks(std::string& path, int& error, bool& foreignLink) {
    std::vector<char> link(PATH_MAX);
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        if (!mayFollow(path, st)) {
            foreignLink = true;
            error = EACCES;
            return false;
        }
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string next(link.data(), static_cast<std::size_t>(length));
        path = !next.empty() && next.front() == '/' ? next : folderOf(path) + next;
    }
    error = ELOOP;
    return false;
}

// Gives the new file the access of the one it replaces: its owner and group as
// far as this user may hand them on, and its permissions. The owner may always
// write it again, as after clearing a read-only file's attributes.
bool keepAccess(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM && errno != EINVAL) return false;
        // Not the superuser: a group the user belongs to can still be kept.
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM &&
            errno != EINVAL)
            return false;
    }
    return ::fchmod(fd, (old.st_mode & PermissionBits) | S_IWUSR) == 0;
}

// Makes a rename in `folder` survive a power loss. Failing here cannot undo the
// rename, so it is only logged.
void syncFolder(const std::string& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder;
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || (::fsync(fd) != 0 && errno != EINVAL))
        qCWarning(lcImaging) << "cannot sync folder" << name.c_str() << std::strerror(errno);
    if (fd >= 0) ::close(fd);
}

} // namespace

WriteFunction setWriteFunction(WriteFunction function) {
    const WriteFunction old = g_write;
    g_write = function ? function : systemWrite;
    return old;
}

AtomicFile::AtomicFile(const QString& fileName)
    : target_(QFile::encodeName(fileName).toStdString()) {}

AtomicFile::~AtomicFile() {
    discard();
}

bool AtomicFile::open() {
    if (target_.empty() || target_.back() == '/') {
        error_ = EINVAL;
        return false;
    }
    // Writing through a link replaces the file it stands for and keeps the link.
    if (!followLinks(target_, error_, foreignLink_)) return false;
    struct stat old {};
    const bool replacing = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    std::random_device seed;
    std::mt19937 random(seed());
    const std::string folder = folderOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".kamsulo-%08x.tmp", static_cast<unsigned>(random()));
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                              replacing ? PrivateFileMode : NewFileMode);
        if (fd >= 0) {
            fd_ = fd;
            tempPath_ = path;
            if (replacing && !keepAccess(fd, old)) {
                fail(errno);
                return false;
            }
            buffer_.reserve(BufferSize);
            return true;
        }
        if (errno != EEXIST) {
            error_ = errno;
            return false;
        }
    }
    error_ = EEXIST;
    return false;
}

void AtomicFile::fail(int systemError) {
    if (error_ == 0) error_ = systemError != 0 ? systemError : EIO;
}

bool AtomicFile::writeAll(const std::uint8_t* p, std::size_t left) {
    while (left > 0) {
        const ssize_t n = g_write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
        written_ += n;
    }
    if (written_ - handedOver_ >= WritebackStep) {
        // Only starts the writing; failures show in the sync at the end.
        ::sync_file_range(fd_, handedOver_, written_ - handedOver_, SYNC_FILE_RANGE_WRITE);
        handedOver_ = written_;
    }
    return true;
}

bool AtomicFile::flush() {
    if (error_ != 0 || fd_ < 0) {
        fail(EBADF);
        return false;
    }
    const bool ok = writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (error_ != 0 || fd_ < 0) {
        fail(EBADF);
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (buffer_.size() + size > BufferSize && !flush()) return false;
    if (size >= BufferSize) return writeAll(bytes, size);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
}

bool AtomicFile::writeU16(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    return write(b, 2);
}

bool AtomicFile::writeU32(std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16),
                               static_cast<std::uint8_t>(v >> 24)};
    return write(b, 4);
}

bool AtomicFile::commit() {
    if (committed_ || fd_ < 0 || !flush()) return false;
    const int fd = fd_;
    fd_ = -1;
    // The data reaches the disk before the name points at it.
    if (::fsync(fd) != 0 && errno != EINVAL) {
        fail(errno);
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        fail(errno);
        return false;
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        return false;
    }
    committed_ = true;
    syncFolder(folderOf(target_));
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

} // namespace kamsulo::imaging
