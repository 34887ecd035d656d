// The scans of a JPEG file, counted before it is decoded: the decoder goes over the
// whole picture once a scan, so a small file of many thousand scans keeps it busy for
// minutes.
#pragma once

#include <QString>

namespace kamsulo::imaging {

// Far more than any encoder writes: a progressive picture has about ten scans, one
// from an optimising encoder a few dozen.
inline constexpr int MostJpegScans = 100;

// The start-of-scan markers in the file up to its end-of-image marker, counted up to
// `most` + 1; the markers inside other segments (a thumbnail's, say) do not count.
int jpegScans(const QString& fileName, int most = MostJpegScans);

} // namespace kamsulo::imaging
