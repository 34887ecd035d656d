// One key of an installed desktop entry, in a private XDG tree, and its Exec line
// made into a command.
#include "imaging/save/XdgSandbox.h"
#include "platform/DesktopServices.h"

#include <gtest/gtest.h>

using namespace kamsulo::platform;
using kamsulo::test::XdgSandbox;

namespace {
const QString kId = QStringLiteral("org.example.paint.desktop");
const QString kExec = QStringLiteral("Exec");
} // namespace

TEST(DesktopEntryValue, MissingEntryOrKeyGivesEmptyText) {
    XdgSandbox sandbox;
    const DesktopServices& d = desktopServices();
    EXPECT_EQ(d.readDesktopEntryValue(kId, kExec), "");
    sandbox.write("share/applications/" + kId,
                  "[Desktop Entry]\nType=Application\nName=Paint\nExec=paint --new %U  \n"
                  "[Desktop Action Other]\nIcon=other\n");
    EXPECT_EQ(d.readDesktopEntryValue(kId, kExec), "paint --new %U");
    EXPECT_EQ(d.readDesktopEntryValue(kId, "Icon"), ""); // only the [Desktop Entry] group counts
    EXPECT_EQ(d.readDesktopEntryValue("other.desktop", kExec), "");

    // The user's entry hides the system's, and a hidden one hides it altogether.
    sandbox.write("home/.local/share/applications/" + kId,
                  "[Desktop Entry]\nType=Application\nExec=\"/opt/my paint/paint\" -f%f 100%%\n");
    EXPECT_EQ(d.readDesktopEntryValue(kId, kExec), "\"/opt/my paint/paint\" -f%f 100%%");
    sandbox.write("home/.local/share/applications/" + kId, "[Desktop Entry]\nHidden=true\n");
    EXPECT_EQ(d.readDesktopEntryValue(kId, kExec), "");

    // An entry in a subfolder has the folder in its id.
    sandbox.write("share/applications/kde/paint.desktop", "[Desktop Entry]\nExec=kpaint\n");
    EXPECT_EQ(d.readDesktopEntryValue("kde-paint.desktop", kExec), "kpaint");
}

TEST(DesktopEntryValue, CommandWithoutFieldCodes) {
    EXPECT_EQ(commandWithoutFieldCodes("paint --new %U"), (QStringList{"paint", "--new"}));
    EXPECT_EQ(commandWithoutFieldCodes("\"/opt/my paint/paint\" -f%f %i 100%% \"\""),
              (QStringList{"/opt/my paint/paint", "-f", "100%", ""}));
    EXPECT_TRUE(commandWithoutFieldCodes("\"unterminated").isEmpty());
}
