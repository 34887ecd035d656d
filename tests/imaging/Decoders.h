// Reading saved files back with an independent program: ImageMagick.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kamsulo::imaging::test {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult run(const QString& program, const QStringList& args);
// identify -verbose
QString identifyVerbose(const QString& file);
// identify -format <format>
QString identify(const QString& file, const QString& format);
// The pixels as 8-bit RGB bytes, top row first.
QByteArray decodedPixels(const QString& file);
// PSNR in dB of two pictures by ImageMagick's compare.
double psnr(const QString& a, const QString& b);
// The value after "key:" in verbose output, trimmed ("" when absent).
QString field(const QString& verbose, const QString& key);

} // namespace kamsulo::imaging::test
