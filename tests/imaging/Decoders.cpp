#include "Decoders.h"

#include <QProcess>
#include <QRegularExpression>

namespace kamsulo::imaging::test {

ProcessResult run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ProcessResult result;
    if (!process.waitForFinished(60000)) return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QString identifyVerbose(const QString& file) {
    return run(QStringLiteral("identify"), {QStringLiteral("-verbose"), file}).out;
}

QString identify(const QString& file, const QString& format) {
    return run(QStringLiteral("identify"), {QStringLiteral("-format"), format, file}).out.trimmed();
}

QByteArray decodedPixels(const QString& file) {
    QProcess process;
    process.start(QStringLiteral("convert"),
                  {file + QStringLiteral("[0]"), QStringLiteral("-depth"), QStringLiteral("8"),
                   QStringLiteral("rgb:-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
    return process.readAllStandardOutput();
}

double psnr(const QString& a, const QString& b) {
    const ProcessResult r =
        run(QStringLiteral("compare"),
            {QStringLiteral("-metric"), QStringLiteral("PSNR"), a, b, QStringLiteral("null:")});
    bool ok = false;
    const double value = r.err.section(QLatin1Char(' '), 0, 0).toDouble(&ok);
    return ok ? value : -1.0;
}

QString field(const QString& verbose, const QString& key) {
    const QRegularExpression re(QStringLiteral("^\\s*") + QRegularExpression::escape(key) +
                                    QStringLiteral(":\\s*(.*)$"),
                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(verbose);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

} // namespace kamsulo::imaging::test
