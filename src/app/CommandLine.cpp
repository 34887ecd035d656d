#include "app/CommandLine.h"

namespace kamsulo::app {

namespace {

// What an option does once it is found.
enum class OptionRole { Help, Version, Capture };

struct KnownOption {
    const char* names[2]; // each may be typed with one dash or two
    OptionRole role;
    CommandLine::Capture capture;
};
constexpr KnownOption kOptions[] = {
    {{"h", "help"}, OptionRole::Help, CommandLine::Capture::None},
    {{"v", "version"}, OptionRole::Version, CommandLine::Capture::None},
    {{"region", nullptr}, OptionRole::Capture, CommandLine::Capture::Region},
    {{"screen", nullptr}, OptionRole::Capture, CommandLine::Capture::Screen},
    {{"window", nullptr}, OptionRole::Capture, CommandLine::Capture::Window},
};

const KnownOption* findOption(QStringView name) {
    for (const KnownOption& o : kOptions)
        for (const char* n : o.names)
            if (n && name == QLatin1StringView(n)) return &o;
    return nullptr;
}

CommandLine failed(const QString& error) {
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.error = error;
    return line;
}

} // namespace

QString usageText() {
    return QStringLiteral("Aufruf: kamsulo [OPTION | [--] DATEI]\n"
                          "Bildschirmfotos aufnehmen, markieren und speichern.\n"
                          "\n"
                          "  DATEI         die Bilddatei beim Start öffnen\n"
                          "  --region      gleich einen Bereich aufnehmen\n"
                          "  --screen      gleich den ganzen Bildschirm aufnehmen\n"
                          "  --window      gleich das aktive Fenster aufnehmen\n"
                          "  -h, --help    diese Hilfe zeigen\n"
                          "  -v, --version die Version zeigen\n"
                          "  --            alles Weitere ist eine Datei, auch wenn es mit -\n"
                          "                beginnt (kamsulo -- -bild.png)\n");
}

CommandLine parseCommandLine(const QStringList& arguments) {
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    QList<CommandLine::Capture> captures;
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg.size() == 1) {
            files << arg;
            continue;
        }
        if (arg == QLatin1StringView("--")) {
            optionsEnded = true;
            continue;
        }
        // The option as typed, without a value joined by '='.
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        const QString typed = equals < 0 ? arg : arg.left(equals);
        const qsizetype dashes = typed.startsWith(QLatin1StringView("--")) ? 2 : 1;
        const KnownOption* option = findOption(QStringView(typed).mid(dashes));
        if (!option) return failed(QStringLiteral("Unbekannte Option: %1").arg(typed));
        if (equals >= 0)
            return failed(QStringLiteral("Die Option %1 nimmt keinen Wert an.").arg(typed));
        switch (option->role) {
        case OptionRole::Help:
            help = true;
            break;
        case OptionRole::Version:
            version = true;
            break;
        case OptionRole::Capture:
            if (!captures.contains(option->capture)) captures << option->capture;
            break;
        }
    }

    CommandLine line;
    if (help) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (version) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (captures.size() > 1) return failed(QStringLiteral("Nur eine Aufnahme auf einmal."));
    if (files.size() > 1) return failed(QStringLiteral("Nur eine Datei auf einmal."));
    if (!captures.isEmpty() && !files.isEmpty())
        return failed(QStringLiteral("Eine Aufnahme und eine Datei schließen einander aus."));
    if (!captures.isEmpty()) line.capture = captures.first();
    if (!files.isEmpty()) line.file = files.first();
    return line;
}

} // namespace kamsulo::app
