// The menu handed to another program to show: entries, their labels in the protocol's
// spelling, and a click that runs the entry's action only after the call is answered.
#include "platform/DBusMenu.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace kamsulo::platform;

TEST(DBusMenu, EntriesInOrderWithAccessKeysSpeltForTheProtocolAndClicksRunLater) {
    QAction plain("Gesamter Screen"), key("&Region"), underscore("a_b && c"), off("Aus"), line;
    line.setSeparator(true);
    off.setEnabled(false);
    DBusMenu menu({&plain, &key, &underscore, &line, &off});

    dbusmenu::Layout root;
    menu.GetLayout(0, -1, {}, root);
    QStringList seen;
    for (const QVariant& child : root.children) {
        const auto entry = qvariant_cast<dbusmenu::Layout>(child);
        seen << QString::number(entry.id) + ":" +
                    entry.properties.value("label", entry.properties.value("type")).toString() +
                    (entry.properties.value("enabled", true).toBool() ? "" : " (off)");
    }
    EXPECT_EQ(seen, QStringList({"1:Gesamter Screen", "2:_Region", "3:a__b & c", "4:separator",
                                 "5:Aus (off)"}));
    dbusmenu::Layout asked;
    menu.GetLayout(2, -1, {"label"}, asked);
    EXPECT_EQ(asked.properties, QVariantMap({{"label", "_Region"}}));
    EXPECT_TRUE(asked.children.isEmpty());

    int runs = 0;
    for (QAction* a : {&plain, &key, &off})
        QObject::connect(a, &QAction::triggered, [&] { ++runs; });
    menu.Event(1, "clicked", {}, 0);
    menu.Event(2, "hovered", {}, 0);
    menu.Event(5, "clicked", {}, 0);
    EXPECT_EQ(menu.EventGroup({{2, "clicked", {}, 0}, {9, "clicked", {}, 0}}), QList<int>{9});
    EXPECT_EQ(runs, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 2);
}
