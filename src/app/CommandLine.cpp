#include "app/CommandLine.h"

#include <QRegularExpression>
#include <QUrl>
#include <cmath>

namespace kamsulo::app {

namespace {

// What an option does once it is found.
enum class OptionRole { Help, Version, Capture, Output, Delay };

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
    {{"output", nullptr}, OptionRole::Output, CommandLine::Capture::None},
    {{"delay", nullptr}, OptionRole::Delay, CommandLine::Capture::None},
};

// The longest wait --delay accepts, in seconds.
constexpr double kLongestDelaySeconds = 3600;

bool takesValue(OptionRole role) {
    return role == OptionRole::Output || role == OptionRole::Delay;
}

// A FILE given as a URI: a file: URI names a local file; any other scheme cannot be
// opened. Names without a scheme (also "a:b.png") are paths.
struct FileArgument {
    QString path;
    QString error;
};

FileArgument fileArgument(const QString& arg) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const bool fileUri = arg.startsWith(QLatin1StringView("file:"), Qt::CaseInsensitive);
    if (!fileUri && !scheme.match(arg).hasMatch()) return {arg, {}};
    const QUrl url(arg);
    if (url.isValid() && url.isLocalFile() &&
        (url.host().isEmpty() || url.host() == QLatin1StringView("localhost")))
        return {url.path(QUrl::FullyDecoded), {}};
    return {{}, QStringLiteral("Nur Dateien dieses Rechners lassen sich öffnen: %1").arg(arg)};
}

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
    return QStringLiteral(
        "Aufruf: kamsulo [OPTION... | [--] DATEI]\n"
        "Bildschirmfotos aufnehmen, markieren und speichern.\n"
        "\n"
        "  DATEI               die Bilddatei beim Start öffnen (auch als file:-URI)\n"
        "  --region            gleich einen Bereich aufnehmen\n"
        "  --screen            gleich den ganzen Bildschirm aufnehmen\n"
        "  --window            gleich das aktive Fenster aufnehmen\n"
        "  --output DATEI      die Aufnahme ohne Programmfenster in DATEI schreiben\n"
        "                      (.png, .jpg, .gif oder .bmp) und enden\n"
        "  --delay SEKUNDEN    vor der Aufnahme so lange warten\n"
        "  -h, --help          diese Hilfe zeigen\n"
        "  -v, --version       die Version zeigen\n"
        "  --                  alles Weitere ist eine Datei, auch wenn es mit -\n"
        "                      beginnt (kamsulo -- -bild.png)\n"
        "\n"
        "Beispiel: kamsulo --delay 3 --window --output fenster.png\n");
}

CommandLine parseCommandLine(const QStringList& arguments) {
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    QList<CommandLine::Capture> captures;
    QStringList files;
    QString output;
    int delayMs = 0;
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
        QString value;
        if (takesValue(option->role)) {
            if (equals >= 0)
                value = arg.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return failed(QStringLiteral("Die Option %1 braucht einen Wert.").arg(typed));
        } else if (equals >= 0) {
            return failed(QStringLiteral("Die Option %1 nimmt keinen Wert an.").arg(typed));
        }
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
        case OptionRole::Output:
            if (value.isEmpty())
                return failed(QStringLiteral("Die Option %1 braucht einen Dateinamen.").arg(typed));
            output = value;
            break;
        case OptionRole::Delay: {
            bool number = false;
            const double seconds = value.toDouble(&number);
            if (!number || !std::isfinite(seconds) || seconds < 0 || seconds > kLongestDelaySeconds)
                return failed(QStringLiteral("Die Wartezeit %1 ist keine Zahl von 0 bis %2 "
                                             "Sekunden.")
                                  .arg(value)
                                  .arg(kLongestDelaySeconds));
            delayMs = int(std::lround(seconds * 1000));
            break;
        }
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
    if (captures.isEmpty() && (!output.isEmpty() || delayMs > 0))
        return failed(QStringLiteral("--output und --delay gelten nur mit --region, --screen "
                                     "oder --window."));
    if (!captures.isEmpty()) line.capture = captures.first();
    if (!files.isEmpty()) {
        const FileArgument file = fileArgument(files.first());
        if (!file.error.isEmpty()) return failed(file.error);
        line.file = file.path;
    }
    line.output = output;
    line.delayMs = delayMs;
    return line;
}

} // namespace kamsulo::app
