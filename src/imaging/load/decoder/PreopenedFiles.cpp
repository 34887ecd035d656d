#include "imaging/load/decoder/PreopenedFiles.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kamsulo::imaging::decoder {

namespace {

std::vector<std::pair<std::string, int>>& preopened() {
    static std::vector<std::pair<std::string, int>> files;
    return files;
}

int systemOpen(const char* path, int flags, mode_t mode) {
    return int(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

} // namespace

void preopenFontmapFonts(const char* fontmap) {
    FILE* map = std::fopen(fontmap, "re");
    if (!map) return;
    // Lines like: /NimbusRoman-Regular (/usr/share/fonts/.../NimbusRoman-Regular.t1) ;
    char line[1024];
    while (std::fgets(line, sizeof line, map)) {
        const char* open = std::strchr(line, '(');
        const char* close = open ? std::strchr(open, ')') : nullptr;
        if (!close) continue;
        std::string path(open + 1, close);
        bool known = false;
        for (const auto& file : preopened())
            known |= file.first == path;
        if (known) continue;
        if (const int fd = systemOpen(path.c_str(), O_RDONLY | O_CLOEXEC, 0); fd >= 0)
            preopened().emplace_back(std::move(path), fd);
    }
    std::fclose(map);
}

int openPreopened(const char* path, int flags, unsigned mode) {
    if (path && (flags & O_ACCMODE) == O_RDONLY)
        for (const auto& [name, fd] : preopened())
            if (name == path) return fcntl(fd, (flags & O_CLOEXEC) ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
    return systemOpen(path, flags, mode);
}

int preopenedDescriptor(const char* path) {
    if (path)
        for (const auto& [name, fd] : preopened())
            if (std::strcmp(name.c_str(), path) == 0) return fd;
    return -1;
}

} // namespace kamsulo::imaging::decoder

// FreeType opens its fonts with open(). The sanitizers intercept open() themselves;
// their builds let read-only opens through instead.
#ifndef KAMSULO_SANITIZED
namespace {
mode_t modeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(args, int)) : 0;
}
} // namespace

extern "C" int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return kamsulo::imaging::decoder::openPreopened(path, flags, mode);
}

extern "C" int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return kamsulo::imaging::decoder::openPreopened(path, flags, mode);
}
#endif
