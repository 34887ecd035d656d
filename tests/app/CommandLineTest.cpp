// The command line: each option, a file, and what is refused.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace kamsulo::app;
using Action = CommandLine::Action;
using Capture = CommandLine::Capture;

namespace {
CommandLine parse(QStringList args) {
    args.prepend(QStringLiteral("kamsulo"));
    return parseCommandLine(args);
}
} // namespace

TEST(CommandLine, OptionsAndFile) {
    EXPECT_EQ(parse({}).action, Action::Run);
    EXPECT_EQ(parse({}).capture, Capture::None);
    EXPECT_EQ(parse({"--region"}).capture, Capture::Region);
    EXPECT_EQ(parse({"--screen"}).capture, Capture::Screen);
    EXPECT_EQ(parse({"--window"}).capture, Capture::Window);
    EXPECT_EQ(parse({"--help"}).action, Action::Help);
    EXPECT_EQ(parse({"-h"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
    const CommandLine file = parse({"/tmp/ein bild.png"});
    EXPECT_EQ(file.action, Action::Run);
    EXPECT_EQ(file.file, QStringLiteral("/tmp/ein bild.png"));
    EXPECT_EQ(file.capture, Capture::None);
}

TEST(CommandLine, RefusedWithAGermanReason) {
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {{"--farbe"}, "Unbekannte Option: --farbe"},
        {{"--farbe=rot"}, "Unbekannte Option: --farbe"},
        {{"-x.png"}, "Unbekannte Option: -x.png"}, // named as typed
        {{"-x"}, "Unbekannte Option: -x"},
        {{"--region=1"}, "Die Option --region nimmt keinen Wert an."},
        {{"-h=ja"}, "Die Option -h nimmt keinen Wert an."},
        {{"--region", "a.png"}, "Eine Aufnahme und eine Datei schließen einander aus."},
        {{"--screen", "--window"}, "Nur eine Aufnahme auf einmal."},
        {{"a.png", "b.png"}, "Nur eine Datei auf einmal."},
        {{"--help", "--farbe"}, "Unbekannte Option: --farbe"},
        {{"http://example.org/a.png"},
         "Nur Dateien dieses Rechners lassen sich öffnen: http://example.org/a.png"},
        {{"file://server/a.png"},
         "Nur Dateien dieses Rechners lassen sich öffnen: "
         "file://server/a.png"},
        {{"--output", "a.png"},
         "--output und --delay gelten nur mit --region, --screen oder "
         "--window."},
        {{"--screen", "--output"}, "Die Option --output braucht einen Wert."},
        {{"--screen", "--delay", "bald"},
         "Die Wartezeit bald ist keine Zahl von 0 bis 3600 "
         "Sekunden."},
        {{"--screen", "--delay=-1"}, "Die Wartezeit -1 ist keine Zahl von 0 bis 3600 Sekunden."},
    };
    for (const auto& c : cases) {
        const CommandLine line = parse(c.args);
        EXPECT_EQ(line.action, Action::Error) << c.args.join(' ').toStdString();
        EXPECT_EQ(line.error, QString::fromUtf8(c.error)) << c.args.join(' ').toStdString();
    }
}

// Scripted captures and file: URIs; a name with a colon but no scheme stays a name.
TEST(CommandLine, OutputDelayAndFileUris) {
    const CommandLine scripted = parse({"--delay", "1.5", "--region", "--output=a b.jpg"});
    EXPECT_EQ(scripted.capture, Capture::Region);
    EXPECT_EQ(scripted.delayMs, 1500);
    EXPECT_EQ(scripted.output, QStringLiteral("a b.jpg"));
    EXPECT_EQ(parse({"file:///tmp/ein%20Bild.png"}).file, QStringLiteral("/tmp/ein Bild.png"));
    EXPECT_EQ(parse({"file://localhost/tmp/a.png"}).file, QStringLiteral("/tmp/a.png"));
    EXPECT_EQ(parse({"a:b.png"}).file, QStringLiteral("a:b.png"));
}

// After "--" everything is a file, also a name that begins with a dash; the usage says so.
TEST(CommandLine, DoubleDashEndsTheOptions) {
    EXPECT_EQ(parse({"--", "-x.png"}).file, QStringLiteral("-x.png"));
    const CommandLine help = parse({"--", "--help"});
    EXPECT_EQ(help.action, Action::Run);
    EXPECT_EQ(help.file, QStringLiteral("--help"));
    EXPECT_EQ(parse({"--window", "--", "a.png"}).action, Action::Error);
    EXPECT_TRUE(usageText().contains(QStringLiteral("kamsulo -- -bild.png")));
}
