#include "imaging/AtomicFile.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace kamsulo::imaging {

namespace {

constexpr std::size_t BufferSize = 1 << 18;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return path.substr(0, slash + 1);
}

} // namespace

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
    std::random_device seed;
    std::mt19937 random(seed());
    const std::string folder = folderOf(target_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".kamsulo-%08x.tmp", static_cast<unsigned>(random()));
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            tempPath_ = path;
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
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
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
    if (::close(fd) != 0) {
        fail(errno);
        return false;
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        return false;
    }
    committed_ = true;
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

} // namespace kamsulo::imaging
