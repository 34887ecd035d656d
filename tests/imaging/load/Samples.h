// The sample files of make_samples.py, written once per test process.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Readable failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace kamsulo::imaging::test {

// The folder holding the samples (made on first use).
QString samplesDir();
QString sample(const QString& name);
// What a sample must decode to: 8-bit RGB rows, top first.
QByteArray reference(const QString& name);
QByteArray rgbBytes(const QImage& image);
QByteArray contents(const QString& file);
// Writes `bytes` as `name` in `dir` and returns the file's path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes);
QByteArray bigEndian32(quint32 value);
// A PNG chunk: its length, type, `data` and CRC.
QByteArray pngChunk(const char* type, const QByteArray& data);
qint64 residentBytes(const char* key); // a field of /proc/self/status, in bytes
void resetPeak();                      // of the resident set

// The growth of the resident set above its level before `work`, at its peak, in bytes.
template <typename Work> qint64 peakGrowth(Work work) {
    resetPeak();
    const qint64 before = residentBytes("VmRSS");
    work();
    return residentBytes("VmHWM") - before;
}

} // namespace kamsulo::imaging::test
