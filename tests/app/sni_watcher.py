#!/usr/bin/env python3
"""A status notifier watcher of the test's own, on the session bus in
DBUS_SESSION_BUS_ADDRESS, standing for one that lives apart from the panel that hosts
the icons (as KDE's lives in kded): it stays when a host goes.

Modes:
  notices  drops a host whose bus name has gone, and says so (StatusNotifierHostUnregistered,
           IsStatusNotifierHostRegistered false), as KDE's does;
  deaf     never notices a host going: it still says that one is registered.

Usage: sni_watcher.py notices|deaf
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
PROPERTIES = "org.freedesktop.DBus.Properties"
# Qt reads the properties only when the introspection lists them.
INTROSPECTION = """<node><interface name="%s">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/>
<signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
<signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
<signal name="StatusNotifierHostRegistered"/>
<signal name="StatusNotifierHostUnregistered"/>
</interface></node>""" % WATCHER


class Watcher(dbus.service.Object):
    def __init__(self, bus, notices):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus, self.notices = bus, notices
        self.items, self.hosts = [], set()

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierItem(self, service):
        self.items.append(service)
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.hosts.add(service)
        if self.notices:
            self.bus.watch_name_owner(service, lambda owner: owner or self.host_gone(service))
        self.StatusNotifierHostRegistered()

    def host_gone(self, service):
        self.hosts.discard(service)
        self.StatusNotifierHostUnregistered()

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostUnregistered(self):
        pass

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": dbus.Boolean(bool(self.hosts)),
                "ProtocolVersion": dbus.Int32(0)}

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return INTROSPECTION


def main():
    if sys.argv[1:] not in (["notices"], ["deaf"]):
        print(__doc__)
        return 2
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, sys.argv[1] == "notices")
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    GLib.MainLoop().run()
    del watcher, name
    return 0


if __name__ == "__main__":
    sys.exit(main())
