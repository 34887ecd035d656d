// Writes a file under a temporary name in the target's folder and renames it
// into place only when everything was written, so that a failed save leaves
// neither a half-written file nor a temporary one, and an existing file of that
// name survives it. Renaming also replaces a read-only file in a writable folder.
// The new file keeps the old one's permissions (made writable for its owner) and,
// where the user may, its owner and group. A name that is a symbolic link
// replaces the file the link stands for and keeps the link, where the kernel would
// follow that link: not another user's link in a sticky folder that everyone may write. The file is
// synced before the rename and its folder after it, so a power loss leaves the old file or the
// complete new one.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kamsulo::imaging {

// How every AtomicFile writes its bytes: the system's write(2) unless replaced,
// which lets a test make the disk run full at any byte.
using WriteFunction = ssize_t (*)(int fd, const void* data, std::size_t size);
// Replaces the write function (nullptr: the system's again); returns the old one.
WriteFunction setWriteFunction(WriteFunction function);

class AtomicFile {
public:
    explicit AtomicFile(const QString& fileName);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file: with the old file's access, or mode 0666 less
    // the umask for a new file.
    bool open();
    // Buffered write; false once anything has failed.
    bool write(const void* data, std::size_t size);
    bool writeU16(std::uint16_t v);
    bool writeU32(std::uint32_t v);
    bool flush();
    // Flushes, syncs, closes and renames the temporary file to the target name.
    bool commit();

    // The descriptor of the temporary file, open for reading and writing, for
    // writers that write on their own (flush first). -1 when not open.
    int descriptor() const { return fd_; }
    const std::string& temporaryPath() const { return tempPath_; }
    bool failed() const { return error_ != 0; }
    // open() refused to write through another user's link in a shared folder.
    bool refusedForeignLink() const { return foreignLink_; }
    // The system error number of the first failure, 0 when none.
    int error() const { return error_; }
    // Records a failure of a writer that wrote through the descriptor itself.
    void fail(int systemError);

private:
    void discard();
    bool writeAll(const std::uint8_t* data, std::size_t size);

    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
    bool foreignLink_ = false;
    off_t written_ = 0;    // bytes written to the descriptor
    off_t handedOver_ = 0; // bytes whose writing to the disk has been started
    std::vector<std::uint8_t> buffer_;
};

} // namespace kamsulo::imaging
