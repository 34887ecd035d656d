// The desktop folder and the applications of a file type, in a private XDG tree.
#include "platform/DesktopServices.h"
#include "XdgSandbox.h"
#include "imaging/save/DesktopFolder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace kamsulo::platform;
using kamsulo::imaging::desktopFolder;
using kamsulo::test::XdgSandbox;

namespace {

QByteArray entry(const QString& name, const QString& mime, const QString& extra = {}) {
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%1-bin %f\n"
                          "MimeType=%2\n%3")
        .arg(name, mime, extra)
        .toUtf8();
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
    DesktopServices& d = desktopServices();
    EXPECT_FALSE(d.defaultApplication("image/png").has_value());

    sandbox.write("share/applications/viewer.desktop", entry("Viewer", "image/png;image/gif;"));
    sandbox.write("share/applications/editor.desktop", entry("Editor", "image/png;"));
    auto app = d.defaultApplication("image/png");
    ASSERT_TRUE(app.has_value());
    EXPECT_TRUE(app->id == "viewer.desktop" || app->id == "editor.desktop");

    // The user's choice wins; a removed association no longer counts.
    sandbox.write("home/.config/mimeapps.list",
                  "[Default Applications]\nimage/png=fehlt.desktop;editor.desktop;\n"
                  "[Removed Associations]\nimage/gif=viewer.desktop;\n");
    EXPECT_EQ(d.defaultApplication("image/png")->id, "editor.desktop");
    EXPECT_FALSE(d.defaultApplication("image/gif").has_value());
    EXPECT_EQ(d.defaultApplication("image/gif").value_or(DesktopApp{}).id, "");
}

TEST(DefaultApplication, HiddenEntriesAndAliasesAndSubfolders) {
    XdgSandbox sandbox;
    DesktopServices& d = desktopServices();
    // A hidden entry in the user's folder hides the system one of the same id.
    sandbox.write("share/applications/viewer.desktop", entry("Viewer", "image/png;"));
    sandbox.write("home/.local/share/applications/viewer.desktop",
                  entry("Viewer", "image/png;", "Hidden=true\n"));
    EXPECT_FALSE(d.defaultApplication("image/png").has_value());

    // An entry in a subfolder gets the folder in its id; an alias name matches.
    sandbox.write("share/applications/kde/bmpview.desktop", entry("BmpView", "image/x-bmp;"));
    const auto bmp = d.defaultApplication("image/bmp");
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->id, "kde-bmpview.desktop");
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

TEST(ExecCommand, FieldCodesAndQuoting) {
    DesktopApp app;
    app.name = "Bild Schau";
    app.icon = "bildschau";
    app.file = "/usr/share/applications/b.desktop";

    app.exec = "bildschau --fullscreen %f";
    EXPECT_EQ(execCommand(app, "/tmp/a b.png"),
              (QStringList{"bildschau", "--fullscreen", "/tmp/a b.png"}));

    app.exec = "\"/opt/Bild Schau/bin/bs\" %U %i --title=%c %%x";
    EXPECT_EQ(execCommand(app, "/tmp/a.png"),
              (QStringList{"/opt/Bild Schau/bin/bs", "/tmp/a.png", "--icon", "bildschau",
                           "--title=Bild Schau", "%x"}));

    app.exec = "viewer -n %d"; // no file code: the file goes last; %d is dropped
    EXPECT_EQ(execCommand(app, "/tmp/a.png"), (QStringList{"viewer", "-n", "/tmp/a.png"}));

    app.exec = "\"viewer \\\"q\\\"\" %f";
    EXPECT_EQ(execCommand(app, "/x"), (QStringList{"viewer \"q\"", "/x"}));

    app.exec = "\"unterminated %f";
    EXPECT_TRUE(execCommand(app, "/x").isEmpty());
}
