// The scans of a JPEG file, counted before it is decoded: the decoder goes over the
// whole picture once a scan, so a small file of many thousand scans keeps it busy for
// minutes.
#pragma once

#include <QByteArrayView>

namespace kamsulo::imaging {

// Far more than any encoder writes: a progressive picture has about ten scans, one
// from an optimising encoder a few dozen.
inline constexpr int MostJpegScans = 100;

struct JpegScans {
    int count = 0;      // the start-of-scan markers up to the end-of-image marker
    bool ended = false; // the end-of-image marker is there: the file is not cut off
};

// The markers inside other segments (a thumbnail's, say) do not count.
JpegScans jpegScans(QByteArrayView file);

} // namespace kamsulo::imaging
