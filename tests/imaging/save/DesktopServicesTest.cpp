// The desktop folder and the applications of a file type, in a private XDG tree.
// Where the tree changes after the first look, the test waits until the desktop's
// library has noticed.
#include "platform/DesktopServices.h"
#include "XdgSandbox.h"
#include "imaging/save/DesktopFolder.h"
#include "support/modal.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kamsulo::platform;
using kamsulo::imaging::desktopFolder;
using kamsulo::test::waitFor;
using kamsulo::test::XdgSandbox;

namespace {

QByteArray entry(const QString& name, const QString& mime, const QString& extra = {},
                 const QString& exec = QStringLiteral("true")) {
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%4 %f\n"
                          "MimeType=%2\n%3")
        .arg(name, mime, extra, exec)
        .toUtf8();
}

QString defaultId(const QString& mimeType) {
    return desktopServices().defaultApplication(mimeType).value_or(DesktopApp{}).id;
}

} // namespace

TEST(DesktopFolder, FromTheUserDirsWithoutTrailingSlash) {
    XdgSandbox sandbox;
    QDir(sandbox.home()).mkpath("Schreibtisch");
    sandbox.write("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch/\"\n");
    EXPECT_EQ(desktopFolder(), sandbox.home() + "/Schreibtisch");
}

TEST(DesktopFolder, HomeWhenTheDesktopFolderIsMissing) {
    XdgSandbox sandbox;
    sandbox.write("home/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(desktopFolder(), sandbox.home());
}

TEST(DefaultApplication, AssociationsAndDeclarations) {
    XdgSandbox sandbox;
    EXPECT_EQ(defaultId("image/png"), "");

    // Installed while the program runs.
    sandbox.write("share/applications/viewer.desktop", entry("Viewer", "image/png;image/gif;"));
    sandbox.write("share/applications/editor.desktop", entry("Editor", "image/png;"));
    ASSERT_TRUE(waitFor([] { return !defaultId("image/png").isEmpty(); }));
    EXPECT_TRUE(defaultId("image/png") == "viewer.desktop" ||
                defaultId("image/png") == "editor.desktop");

    // The user's choice wins; a removed association no longer counts.
    sandbox.write("home/.config/mimeapps.list",
                  "[Default Applications]\nimage/png=fehlt.desktop;editor.desktop;\n"
                  "[Removed Associations]\nimage/gif=viewer.desktop;\n");
    EXPECT_TRUE(waitFor([] { return defaultId("image/gif").isEmpty(); }));
    EXPECT_EQ(defaultId("image/png"), "editor.desktop");
}

TEST(DefaultApplication, HiddenEntriesAndAliasesAndSubfolders) {
    XdgSandbox sandbox;
    // A hidden entry in the user's folder hides the system one of the same id, and
    // an entry whose program is missing counts for nothing.
    sandbox.write("share/applications/viewer.desktop", entry("Viewer", "image/png;"));
    sandbox.write("home/.local/share/applications/viewer.desktop",
                  entry("Viewer", "image/png;", "Hidden=true\n"));
    sandbox.write("share/applications/gone.desktop",
                  entry("Gone", "image/png;", {}, "/nonexistent/gone"));
    EXPECT_EQ(defaultId("image/png"), "");

    // An entry in a subfolder gets the folder in its id; an alias name matches.
    sandbox.write("share/applications/kde/bmpview.desktop", entry("BmpView", "image/x-bmp;"));
    EXPECT_TRUE(waitFor([] { return defaultId("image/bmp") == "kde-bmpview.desktop"; }));
}

TEST(ApplicationsFor, ExactTypeElseTheSameKind) {
    XdgSandbox sandbox;
    DesktopServices& d = desktopServices();
    sandbox.write("share/applications/b.desktop", entry("Beta", "image/gif;"));
    sandbox.write("share/applications/a.desktop", entry("Alpha", "image/gif;image/png;"));
    sandbox.write("share/applications/t.desktop", entry("Text", "text/plain;"));
    sandbox.write("share/applications/h.desktop",
                  entry("Helfer", "image/png;", "NoDisplay=true\n"));

    QStringList names;
    for (const DesktopApp& a : d.applicationsFor("image/png"))
        names << a.name;
    EXPECT_EQ(names, QStringList{"Alpha"});

    names.clear();
    for (const DesktopApp& a : d.applicationsFor("image/jpeg"))
        names << a.name;
    EXPECT_EQ(names, (QStringList{"Alpha", "Beta"}));
}

TEST(ApplicationsFor, GermanNameWins) {
    XdgSandbox sandbox;
    sandbox.write("share/applications/v.desktop",
                  entry("Viewer", "image/png;", "Name[de]=Bildbetrachter\n"));
    const auto apps = desktopServices().applicationsFor("image/png");
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(apps[0].name, "Bildbetrachter");
}

// The default application, and one picked in the chooser, are started with the file.
TEST(OpenWith, StartsTheApplicationWithTheFile) {
    XdgSandbox sandbox;
    const QString file = sandbox.write("Bild mit Leerzeichen.png", "\x89PNG\r\n\x1a\n");
    // Each stand-in writes its argument to a file of its name.
    const auto standIn = [&](const QString& name) {
        const QString seen = sandbox.root() + "/" + name;
        const QString script =
            sandbox.write("bin/" + name, ("#!/bin/sh\nprintf '%s' \"$1\" > '" + seen +
                                          ".part' && mv '" + seen + ".part' '" + seen + "'\n")
                                             .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    };
    const auto seenBy = [&](const QString& name) {
        QFile f(sandbox.root() + "/" + name);
        return waitFor([&] { return f.exists(); }) && f.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(f.readAll())
                   : QString();
    };
    sandbox.write("share/applications/schau.desktop",
                  entry("Schau", "image/png;", {}, standIn("schau")));
    sandbox.write("share/applications/mal.desktop", entry("Mal", "image/gif;", {}, standIn("mal")));
    DesktopServices& d = desktopServices();
    ASSERT_TRUE(d.openWithDefault(file));
    EXPECT_EQ(seenBy("schau"), file);
    const QList<DesktopApp> offered = d.applicationsFor("image/gif");
    ASSERT_EQ(offered.size(), 1);
    ASSERT_TRUE(d.openWith(offered[0], file));
    EXPECT_EQ(seenBy("mal"), file);
}
