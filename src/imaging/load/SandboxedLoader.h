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
    int timeoutMs = 0; // how long it may take in all
};

class SandboxedLoader {
public:
    // Returns once `process` has ended or its time is up (it need not wait for it:
    // the loader ends a process that is still running afterwards).
    using Wait = std::function<void(const DecoderProcess& process)>;

    // Without a Wait, the calling thread blocks on the process.
    explicit SandboxedLoader(Wait wait = {}, const LoaderOptions& options = {});

    LoadResult load(const QString& fileName, QSize maxSize = {}) const;
    // Picture bytes (from the clipboard, say), read by their content.
    LoadResult decode(const QByteArray& bytes, QSize maxSize = {}) const;

    // Whether a decoder process is started ahead after each decode and waits, loaded,
    // for the next picture (the program's choice; off by default).
    static void keepWarm(bool keep);

    // The program's wall-clock limit for one decode; KAMSULO_DECODE_TIMEOUT_MS may only
    // lower it (for tests).
    static int timeoutMs();
    // kamsulo-decode beside the program's executable, else KAMSULO_DECODER.
    static QString decoderPath();

private:
    // `drawing`: the picture is likely a metafile, whose text needs fonts.
    LoadResult run(int inputFd, DecoderBranch branch, QSize maxSize, bool drawing) const;

    Wait wait_;
    LoaderOptions options_;
};

} // namespace kamsulo::imaging
