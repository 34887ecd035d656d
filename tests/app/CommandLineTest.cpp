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
    const CommandLine unknown = parse({"--farbe"});
    EXPECT_EQ(unknown.action, Action::Error);
    EXPECT_EQ(unknown.error, QStringLiteral("Unbekannte Option: --farbe"));
    EXPECT_EQ(parse({"--region", "a.png"}).action, Action::Error);
    EXPECT_EQ(parse({"--screen", "--window"}).action, Action::Error);
    EXPECT_EQ(parse({"a.png", "b.png"}).action, Action::Error);
}
