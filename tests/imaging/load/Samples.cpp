#include "Samples.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace kamsulo::imaging::test {

QString samplesDir() {
    static QTemporaryDir dir;
    static const bool made = [] {
        QProcess python;
        python.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(KAMSULO_SOURCE_DIR "/tests/imaging/load/make_samples.py"), dir.path()});
        const bool ok = python.waitForFinished(120000) && python.exitCode() == 0;
        if (!ok) ADD_FAILURE() << python.readAllStandardError().toStdString();
        return ok;
    }();
    return made ? dir.path() : QString();
}

QString sample(const QString& name) {
    return samplesDir() + QLatin1Char('/') + name;
}

QByteArray reference(const QString& name) {
    QFile file(sample(name) + QStringLiteral(".rgb"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray rgbBytes(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    return bytes;
}

QByteArray contents(const QString& file) {
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    return in.readAll();
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

QByteArray bigEndian32(quint32 value) {
    const quint32 big = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&big), 4);
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    const QByteArray body = QByteArray(type, 4) + data;
    const auto crc =
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
    return bigEndian32(quint32(data.size())) + body + bigEndian32(crc);
}

qint64 residentBytes(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QRegularExpression line(QLatin1String(key) + QStringLiteral(":\\s+(\\d+) kB"));
    return line.match(QString::fromLatin1(status.readAll())).captured(1).toLongLong() * 1024;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(clear.open(QIODevice::WriteOnly) && clear.write("5") == 1);
}

} // namespace kamsulo::imaging::test
