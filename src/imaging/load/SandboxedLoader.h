// Loads pictures as ImageLoader does, but decodes them in the decoder process
// (kamsulo-decode, beside the program): a picture that crashes a decoder costs a
// message, never the program. The name's checks run here; the file goes over as an
// open descriptor, clipboard bytes as a memfd, and the picture comes back in a memfd
// that is mapped as it is.
#pragma once

#include "imaging/load/LoadResult.h"
#include "imaging/load/LoadRules.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <functional>
#include <sys/types.h>

namespace kamsulo::imaging {

// The decoder process while it runs.
struct DecoderProcess {
    pid_t pid = 0;
    int pidfd = -1;    // readable once the process has ended
    int doneFd = -1;   // readable once its answer is complete or it has ended
    int timeoutMs = 0; // how long it may still take
};

class SandboxedLoader {
public:
    // Returns once `process.doneFd` is readable or its time is up (it need not wait for
    // it: the loader ends a process that has not answered by then).
    using Wait = std::function<void(const DecoderProcess& process)>;

    // Without a Wait, the calling thread blocks on the process.
    explicit SandboxedLoader(Wait wait = {}, const LoaderOptions& options = {});

    // A decode of the same file started ahead is waited for instead of a new one; the
    // decode started ahead ends either way.
    LoadResult load(const QString& fileName, QSize maxSize = {});
    // Picture bytes (from the clipboard, say), read by their content.
    LoadResult decode(const QByteArray& bytes, QSize maxSize = {}) const;

    // Starts decoding the file for a load of it that is sure to follow (a file given at
    // start: it decodes while the program starts). There is one such decode in the
    // program, whichever loader started it; a load of another file ends it.
    // Opening a 4K PNG at start, bench/user/run's figure: 114 ms with it, 145 ms without.
    void startAhead(const QString& fileName, QSize maxSize = {});

    // The program's wall-clock limit for one decode; KAMSULO_DECODE_TIMEOUT_MS may only
    // lower it (for tests).
    static int timeoutMs();
    // kamsulo-decode beside the program's executable, else in its installed prefix's
    // libexec/kamsulo/, else KAMSULO_DECODER.
    static QString decoderPath();

    // A decode under way (SandboxedLoader.cpp).
    struct Pending;

private:
    // `drawing`: the picture is likely a metafile, whose text needs fonts.
    Pending start(int inputFd, DecoderBranch branch, QSize maxSize, bool drawing) const;
    LoadResult finish(Pending& decode, QSize maxSize) const;

    Wait wait_;
    LoaderOptions options_;
};

} // namespace kamsulo::imaging
