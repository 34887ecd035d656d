#pragma once
// The program's command line: a file (or a file: URI) to open, or a capture to take
// at once, perhaps after a delay and perhaps straight into a file without a window,
// and the two questions answered without a window (--help, --version).
#include <QString>
#include <QStringList>

namespace kamsulo::app {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    enum class Capture { None, Region, Screen, Window };

    Action action = Action::Run;
    Capture capture = Capture::None;
    QString file;    // a local path, also when it was given as a file: URI
    QString output;  // --output: the capture goes into this file, with no window
    int delayMs = 0; // --delay: the wait before the capture
    QString error;   // for Action::Error: what was wrong, in German
};

// `arguments` as main() receives them, the program's name first.
CommandLine parseCommandLine(const QStringList& arguments);

// The German usage text that --help prints and errors repeat.
QString usageText();

} // namespace kamsulo::app
