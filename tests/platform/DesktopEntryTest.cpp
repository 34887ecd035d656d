// One key of an installed desktop entry, in a private XDG tree, and its Exec line
// made into a command. Where the tree changes after the first look, the test waits
// until the desktop's library has noticed.
#include "imaging/save/XdgSandbox.h"
#include "platform/DesktopServices.h"
#include "support/modal.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kamsulo::platform;
using kamsulo::test::waitFor;
using kamsulo::test::XdgSandbox;

namespace {
const QString kId = QStringLiteral("org.example.paint.desktop");
const QString kExec = QStringLiteral("Exec");
} // namespace

TEST(DesktopEntryValue, MissingEntryOrKeyGivesEmptyText) {
    XdgSandbox sandbox;
    const DesktopServices& d = desktopServices();
    const auto exec = [&](const QString& id) { return d.readDesktopEntryValue(id, kExec); };
    EXPECT_EQ(exec(kId), "");
    sandbox.write("share/applications/" + kId,
                  "[Desktop Entry]\nType=Application\nName=Paint\nExec=sh --new %U  \n"
                  "[Desktop Action Other]\nIcon=other\n");
    // The command the paint program is started with.
    const auto command = [&] { return commandWithoutFieldCodes(exec(kId)); };
    ASSERT_TRUE(waitFor([&] {
        return command() == QStringList{"sh", "--new"};
    })) << exec(kId).toStdString();
    EXPECT_EQ(d.readDesktopEntryValue(kId, "Icon"), ""); // only the [Desktop Entry] group counts
    EXPECT_EQ(exec("other.desktop"), "");

    // The user's entry hides the system's, and a hidden one hides it altogether.
    const QString paint = sandbox.write("opt/my paint/paint", "#!/bin/sh\n");
    QFile::setPermissions(paint, QFile::ReadOwner | QFile::ExeOwner);
    const QString user = "\"" + paint + "\" -f%f 100%%";
    sandbox.write("home/.local/share/applications/" + kId,
                  "[Desktop Entry]\nType=Application\nName=Paint\nExec=" + user.toUtf8() + "\n");
    EXPECT_TRUE(waitFor([&] { return exec(kId) == user; })) << exec(kId).toStdString();
    sandbox.write("home/.local/share/applications/" + kId,
                  "[Desktop Entry]\nType=Application\nName=Paint\nHidden=true\n");
    EXPECT_TRUE(waitFor([&] { return exec(kId).isEmpty(); })) << exec(kId).toStdString();

    // An entry in a subfolder has the folder in its id.
    sandbox.write("share/applications/kde/paint.desktop",
                  "[Desktop Entry]\nType=Application\nName=KPaint\nExec=true\n");
    EXPECT_TRUE(waitFor([&] { return exec("kde-paint.desktop") == "true"; }));
}

TEST(DesktopEntryValue, CommandWithoutFieldCodes) {
    EXPECT_EQ(commandWithoutFieldCodes("paint --new %U"), (QStringList{"paint", "--new"}));
    EXPECT_EQ(commandWithoutFieldCodes("\"/opt/my paint/paint\" -f%f %i 100%% \"\""),
              (QStringList{"/opt/my paint/paint", "-f", "100%", ""}));
    EXPECT_TRUE(commandWithoutFieldCodes("\"unterminated").isEmpty());
}
