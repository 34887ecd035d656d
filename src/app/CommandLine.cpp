#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace kamsulo::app {

namespace {

struct CaptureOption {
    const char* name;
    CommandLine::Capture capture;
};
constexpr CaptureOption kCaptureOptions[] = {
    {"region", CommandLine::Capture::Region},
    {"screen", CommandLine::Capture::Screen},
    {"window", CommandLine::Capture::Window},
};

CommandLine failed(const QString& error) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = error;
    return line;
}

} // namespace

QString usageText() {
    return QStringLiteral("Aufruf: kamsulo [OPTION | DATEI]\n"
                          "Bildschirmfotos aufnehmen, markieren und speichern.\n"
                          "\n"
                          "  DATEI         die Bilddatei beim Start öffnen\n"
                          "  --region      gleich einen Bereich aufnehmen\n"
                          "  --screen      gleich den ganzen Bildschirm aufnehmen\n"
                          "  --window      gleich das aktive Fenster aufnehmen\n"
                          "  -h, --help    diese Hilfe zeigen\n"
                          "  -v, --version die Version zeigen\n");
}

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    for (const CaptureOption& o : kCaptureOptions)
        parser.addOption(QCommandLineOption(QString::fromLatin1(o.name)));
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return failed(
            unknown.isEmpty()
                ? parser.errorText()
                : QStringLiteral("Unbekannte Option: %1%2")
                      .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                           unknown.first()));
    }

    if (parser.isSet(help)) {
        CommandLine line;
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (parser.isSet(version)) {
        CommandLine line;
        line.action = CommandLine::Action::Version;
        return line;
    }
    CommandLine line;
    int captures = 0;
    for (const CaptureOption& o : kCaptureOptions) {
        if (!parser.isSet(QString::fromLatin1(o.name))) continue;
        line.capture = o.capture;
        ++captures;
    }
    const QStringList files = parser.positionalArguments();
    if (captures > 1) return failed(QStringLiteral("Nur eine Aufnahme auf einmal."));
    if (files.size() > 1) return failed(QStringLiteral("Nur eine Datei auf einmal."));
    if (captures == 1 && !files.isEmpty())
        return failed(QStringLiteral("Eine Aufnahme und eine Datei schließen einander aus."));
    if (!files.isEmpty()) line.file = files.first();
    return line;
}

} // namespace kamsulo::app
