#pragma once
// The program's command line: a file to open, or a capture to take at once, and
// the two questions answered without a window (--help, --version).
#include <QString>
#include <QStringList>

namespace kamsulo::app {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    enum class Capture { None, Region, Screen, Window };

    Action action = Action::Run;
    Capture capture = Capture::None;
    QString file;
    QString error; // for Action::Error: what was wrong, in German
};

// `arguments` as main() receives them, the program's name first.
CommandLine parseCommandLine(const QStringList& arguments);

// The German usage text that --help prints and errors repeat.
QString usageText();

} // namespace kamsulo::app
