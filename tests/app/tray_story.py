#!/usr/bin/env python3
"""The tray icon as the user meets it, on the real program with trayer as the tray host:
Info brings its open window to the front from behind the main window or from the task
bar; the Tray button and the minimise box put the window into the tray (Tray closing the
info window); a right click on the icon opens nothing, nor does a left press released
elsewhere, a left click opens the menu on its release; "Gesamter Screen" (after Tray and
after the minimise box) captures the bare desktop and brings the window back, "Programm-
fenster anzeigen" brings it back with the save dialog that went into the tray with it,
"Aktives Fensters" prompts, and "Region" chosen during its wait is ignored (one capture, no
overlay); "Beenden" asks, keeps the program on "Nein", and on "Ja" (chosen during the wait
of a window capture, which it withdraws) asks about the unsaved picture and ends it. Then, on a display of its own without a tray host: minimising leaves the
window iconic and reachable and closes the info window; a tray host that starts later at
the top left is used, where the menu opens with its first entry under the pointer, and
the release of the click that opened it chooses nothing; when that host ends, the window
comes back by itself. Last, with a status notifier watcher of the test's own that stays
when the host of the icon ends (as KDE's, in kded, stays when the panel ends): the window
comes back, whether the watcher notices the host's end or not.

The menu's and the message boxes' texts are read through AT-SPI, on a session bus of the
test's own. Every step waits for what it can observe (a window, a window property, an
accessibility event, the clipboard, the program's end) instead of sleeping.

Usage: tray_story.py PATH/TO/kamsulo   (under scripts/with-display, with its tray host)
Exit status 0 passed, 1 failed (a missing tool or display fails too).
"""
import io
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (TPP, activate, check_setup, fail, grab_screen, keys, run,  # noqa: E402
                 stop, stop_all, visible, wait_for, window_rect, xdo)

BUTTON_LEFT = {"ClipBoard": 2940, "Save": 5715, "Info": 7560, "Tray": 6630}  # twips; 900 wide, 920 high at 10
MENU = [("menu item", "Region"), ("menu item", "Gesamter Screen"),
        ("menu item", "Aktives Fensters"), ("separator", ""),
        ("menu item", "Programmfenster anzeigen"), ("separator", ""), ("menu item", "Beenden")]
EXIT_QUESTION = ("Kamuslo", "Möchten Sie das Programm jetzt beenden?")
PROMPT = ("Kamsulo", "Klicke auf das gewünschte Fenster, und warte einen Augenblick ...")
SAVE_QUESTION = ("Pixtorel - Kontrollabfrage",
                 "Der Screenshot wurde noch nicht gespeichert. Jetzt Speichern?")
TRAYER = ["trayer", "--edge", "top", "--align", "left", "--widthtype", "request", "--height",
          "24", "--SetDockType", "true", "--transparent", "false", "--tint", "0x404040"]
ACCESSIBLE = "org.a11y.atspi.Accessible"
WATCHER = "org.kde.StatusNotifierWatcher"


# --- Windows -------------------------------------------------------------------------

def wm_state(win):
    """The window manager's WM_STATE: Normal, Iconic, Withdrawn; None when it has none."""
    m = re.search(r"window state: (\w+)", run("xprop", "-id", win, "WM_STATE"))
    return m and m[1]


def viewable(win):
    return "IsViewable" in run("xwininfo", "-id", win)


HOME = {}  # where the window stood when it was first shown


def shown(win):
    return viewable(win) and wm_state(win) == "Normal" and window_rect(win) == HOME[win]


def hidden(win):  # withdrawn: no longer minimised at the window manager, simply gone
    return not viewable(win) and wm_state(win) in (None, "Withdrawn")


def iconic(win):
    return not viewable(win) and wm_state(win) == "Iconic"


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


def move_to(point):
    # Not mousemove --sync: that waits long for a move when the pointer is there already.
    xdo("mousemove", str(point[0]), str(point[1]))
    wait_for(lambda: xdo("getmouselocation").startswith("x:%d y:%d " % point),
             "the pointer does not get to %d,%d" % point)


def click_at(point, button=1):
    move_to(point)
    xdo("click", str(button))


def press(win, name):
    """Raises the main window and clicks a button of its row."""
    activate(win)
    x, y, _, _ = window_rect(win)
    click_at((x + (BUTTON_LEFT[name] + 450) // TPP, y + (10 + 460) // TPP))


def active(win):
    return xdo("getactivewindow").strip() == win


def answer(box, key):
    activate(box)
    keys(key)


def tray_hosts():
    return [w for w in xdo("search", "--class", "^trayer$").split() if viewable(w)]


def tray_icon(wm_class):
    """The rectangle of the program's viewable icon inside the tray host, or None."""
    for host in tray_hosts():
        tree = run("xwininfo", "-tree", "-id", host)
        for win in re.findall(r'(0x[0-9a-f]+) [^\n]*\("%s" ' % re.escape(wm_class), tree):
            if viewable(win):
                return window_rect(win)
    return None


# --- Accessibility -------------------------------------------------------------------

class Accessibility:
    """The program's accessible objects on the AT-SPI bus of the given session bus, and
    the events in which objects are shown, hidden or focused."""

    def __init__(self, session_address):
        import dbus
        import dbus.mainloop.glib
        from gi.repository import GLib
        dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
        self.dbus = dbus
        self.context = GLib.MainContext.default()
        session = dbus.bus.BusConnection(session_address)
        address = session.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
            dbus_interface="org.a11y.Bus")
        self.bus = dbus.bus.BusConnection(address)
        self.events = []  # (kind, on, (bus name, path))
        self.bus.add_signal_receiver(self._state_changed, "StateChanged",
                                     "org.a11y.atspi.Event.Object", sender_keyword="sender",
                                     path_keyword="path")
        self.bus.get_object("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                            introspect=False).RegisterEvent(
            "object:state-changed", dbus_interface="org.a11y.atspi.Registry")

    def _state_changed(self, kind, detail, *_, sender=None, path=None):
        self.events.append((str(kind), int(detail), (str(sender), str(path))))

    def mark(self):
        """The position in the event record from which the next look starts."""
        while self.context.iteration(False):
            pass
        return len(self.events)

    def since(self, mark, kind):
        self.mark()
        return [(on, ref) for k, on, ref in self.events[mark:] if k == kind]

    def _call(self, ref, method, *args, interface=ACCESSIBLE):
        obj = self.bus.get_object(ref[0], ref[1], introspect=False)
        return getattr(obj, method)(*args, dbus_interface=interface)

    def role(self, ref):
        return str(self._call(ref, "GetRoleName"))

    def name(self, ref):
        return str(self._call(ref, "Get", ACCESSIBLE, "Name",
                              interface="org.freedesktop.DBus.Properties"))

    def children(self, ref):
        return [(str(n), str(p)) for n, p in self._call(ref, "GetChildren")]

    def extents(self, ref):
        return tuple(int(v) for v in self._call(ref, "GetExtents", self.dbus.UInt32(0),
                                                interface="org.a11y.atspi.Component"))

    def labels(self, ref):
        """The texts of all labels in and below the object."""
        found = [self.name(ref)] if self.role(ref) == "label" else []
        for child in self.children(ref):
            found += self.labels(child)
        return found

    def window_text(self, app, title):
        """The label texts of the program's top-level window with the given title."""
        for win in self.children((app, "/org/a11y/atspi/accessible/root")):
            if self.name(win) == title:
                return self.labels(win)
        return None


def open_menu(a11y, mark, gone=lambda: False):
    """Waits for the menu opened after `mark`, checks that it is the only menu that
    opened since then, and its entries; returns the menu and its entries' rectangles
    (None, None when `gone` holds first)."""
    def is_menu(ref):
        try:
            return a11y.role(ref) == "popup menu"
        except a11y.dbus.DBusException:  # gone again, such as a tooltip
            return False

    def opened():
        menus = [(on, ref) for on, ref in a11y.since(mark, "showing") if is_menu(ref)]
        return menus if menus and menus[-1][0] == 1 else None

    menus = opened() or wait_for(lambda: opened() or gone(), "no menu opened on the left click")
    if menus is True:
        return None, None
    if len(menus) != 1:
        fail("more than the one menu opened: %s" % menus)
    menu = menus[0][1]
    items = a11y.children(menu)
    entries = [(a11y.role(i), a11y.name(i)) for i in items]
    if entries != MENU:
        fail("the menu's entries are %s" % entries)
    return menu, {name: a11y.extents(i) for (_, name), i in zip(entries, items) if name}


def menu_stays_open(a11y, menu):
    """After the click that opened the menu: a key moves through the menu's entries,
    so the release of the click has not chosen one (which would have closed it)."""
    mark = a11y.mark()
    xdo("key", "Down")
    entries = a11y.children(menu)
    wait_for(lambda: any(on and ref in entries for on, ref in a11y.since(mark, "focused")),
             "the menu closed after the click that opened it")


# --- The desktop and the program -----------------------------------------------------

def sandbox(root):
    """A private home and runtime folder, and a session bus of the program's own on
    which it publishes its accessible objects."""
    home = os.path.join(root, "home")
    runtime = os.path.join(root, "run")
    os.makedirs(os.path.join(home, ".config"))
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime,
               XDG_CONFIG_HOME=os.path.join(home, ".config"), QT_QPA_PLATFORM="xcb",
               LC_ALL="C.UTF-8", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    env.pop("XDG_CURRENT_DESKTOP", None)
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    if not env["DBUS_SESSION_BUS_ADDRESS"]:
        fail("dbus-daemon did not start")
    return env, bus


def start(binary, env, procs):
    app = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    procs.append(app)
    found = wait_for(lambda: xdo("search", "--onlyvisible", "--pid", str(app.pid), "--name",
                                 "^Kamsulo $").split(), "the main window did not appear")
    main = found[-1]
    last = []

    def placed():  # managed, and at the same place at two looks in a row
        last.append(window_rect(main))
        return viewable(main) and wm_state(main) == "Normal" and last[-2:-1] == last[-1:]

    wait_for(placed, "the window manager does not manage the main window")
    HOME[main] = last[-1]
    return app, main


def root_pattern(root):
    """Tiles a pattern over the root window; returns the pattern."""
    from PIL import Image
    tile = Image.new("RGB", (64, 48), (40, 160, 90))
    tile.paste((230, 120, 20), (0, 0, 32, 24))
    tile.paste((20, 60, 220), (32, 24, 64, 48))
    tile.paste((250, 250, 250), (5, 30, 20, 40))
    path = os.path.join(root, "pattern.png")
    tile.save(path)
    run("display", "-window", "root", path)  # answers 1 even when it has set it
    def shown_in_corner():
        corner = grab_screen().crop((0, 0, 64, 48))
        return list(corner.getdata()) == list(tile.getdata())

    wait_for(shown_in_corner, "the desktop does not show the pattern")
    return tile


def clipboard_picture():
    import PIL.Image
    out = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "image/png"],
                         capture_output=True, timeout=10).stdout
    return PIL.Image.open(io.BytesIO(out)).convert("RGB") if out.startswith(b"\x89PNG") else None


def check_bare_desktop(picture, tile, tray_rects):
    """The picture shows the tiled pattern everywhere but on the tray host."""
    import numpy
    got = numpy.asarray(picture)
    h, w = got.shape[:2]
    want = numpy.tile(numpy.asarray(tile), (h // tile.height + 1, w // tile.width + 1, 1))[:h, :w]
    wrong = numpy.any(got != want, axis=2)
    for x, y, rw, rh in tray_rects:
        wrong[max(y, 0):y + rh, max(x, 0):x + rw] = False
    if wrong.any():
        ys, xs = numpy.nonzero(wrong)
        fail("the capture is not the bare desktop: %d pixels differ, within x %d..%d, "
             "y %d..%d" % (wrong.sum(), xs.min(), xs.max(), ys.min(), ys.max()))


def clear_clipboard(procs):
    """Takes the clipboard with nothing in it, so that the next picture there is new."""
    owner = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i", "/dev/null"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(owner)  # it ends when the program takes the clipboard
    wait_for(lambda: clipboard_picture() is None, "xclip did not take the clipboard")


def tray_story(binary, root, procs):
    wm_class = os.path.basename(binary)
    wait_for(tray_hosts, "no tray host (trayer) runs on display " + os.environ["DISPLAY"])
    tile = root_pattern(root)
    env, bus = sandbox(root)
    procs.append(bus)
    a11y = Accessibility(env["DBUS_SESSION_BUS_ADDRESS"])
    app, main = start(binary, env, procs)

    def into_tray(minimise, what):
        minimise()
        return wait_for(lambda: hidden(main) and tray_icon(wm_class),
                        what + " did not hide the window and show the icon")

    def menu_of(icon):
        mark = a11y.mark()
        click_at(centre(icon))
        return open_menu(a11y, mark)

    def capture_screen(entries):
        """"Gesamter Screen": the bare desktop, without the menu or the main window."""
        tray_rects = [window_rect(w) for w in tray_hosts()]
        clear_clipboard(procs)
        click_at(centre(entries["Gesamter Screen"]))
        wait_for(lambda: shown(main) and not tray_icon(wm_class),
                 '"Gesamter Screen" did not bring the window back and remove the icon')
        press(main, "ClipBoard")
        picture = wait_for(clipboard_picture, "the capture did not reach the clipboard")
        check_bare_desktop(picture, tile, tray_rects)

    # Info brings its open window back to the front, from the task bar and from behind
    # the main window (which the press raises).
    press(main, "Info")
    info = wait_for(lambda: visible("^Kamsulo - Info$"), "the info window did not open")[0]
    for cover in (lambda: xdo("windowminimize", info), lambda: activate(main)):
        cover()
        wait_for(lambda: not active(info), "the info window stayed in front")
        press(main, "Info")
        wait_for(lambda: active(info) and viewable(info),
                 "Info did not bring its window back to the front")

    # Tray: the info window closes, the main window hides, the icon appears.
    icon = into_tray(lambda: press(main, "Tray"), "Tray")
    if visible("^Kamsulo - Info$"):
        fail("the info window stayed open")

    # A right click on the icon opens nothing; the left click after it opens the menu,
    # which the release of that click leaves open.
    # A left press released away from the icon opens nothing either.
    mark = a11y.mark()
    click_at(centre(icon), 3)
    move_to(centre(icon))
    xdo("mousedown", "1")
    move_to((icon[0] // 2, icon[1] // 2))
    xdo("mouseup", "1")
    click_at(centre(icon))
    menu, entries = open_menu(a11y, mark)
    menu_stays_open(a11y, menu)
    capture_screen(entries)

    # The minimise box does what Tray does; "Programmfenster anzeigen" restores.
    capture_screen(menu_of(into_tray(lambda: xdo("windowminimize", main), "The minimise box"))[1])
    # An open save dialog goes into the tray with the window and comes back with it.
    press(main, "Save")
    save = wait_for(lambda: visible("^Speichern als...$"), "Save did not open its dialog")[0]
    _, entries = menu_of(into_tray(lambda: xdo("windowminimize", main), "The minimise box"))
    if viewable(save):
        fail("the save dialog stayed on the screen while the window is in the tray")
    click_at(centre(entries["Programmfenster anzeigen"]))
    wait_for(lambda: shown(main) and not tray_icon(wm_class),
             '"Programmfenster anzeigen" did not restore the window and remove the icon')
    wait_for(lambda: viewable(save) and wm_state(save) == "Normal",
             "the save dialog did not come back with the window")
    activate(save)
    keys("alt+F4")
    wait_for(lambda: not visible("^Speichern als...$"), "the save dialog did not close")

    def during_window_capture(entry):
        """"Aktives Fensters" from the tray, its prompt answered, and `entry` chosen from
        the menu during the wait for the click that follows. A wait over before the
        menu opened (a slow machine) is tried again."""
        for _ in range(3):
            icon = into_tray(lambda: xdo("windowminimize", main), "The minimise box")
            menu, entries = menu_of(icon)
            click_at(centre(entries["Aktives Fensters"]))
            box = wait_for(lambda: visible("^%s$" % PROMPT[0]),
                           "Aktives Fensters showed no prompt")
            text = [t for t in a11y.window_text(menu[0], PROMPT[0]) or [] if t]  # no icon
            if text != [PROMPT[1]]:
                fail("the prompt reads %s" % text)
            answer(box[0], "Return")
            wait_for(lambda: not visible("^%s$" % PROMPT[0]), "the prompt stayed open")
            mark = a11y.mark()
            click_at(centre(icon))
            menu, entries = open_menu(a11y, mark, lambda: shown(main))
            if menu:
                click_at(centre(entries[entry]))
                return menu
            wait_for(lambda: not tray_icon(wm_class), "the icon stayed after the capture")
        fail("the menu never opened within the wait of a window capture")

    # One capture at a time: "Region" chosen during that wait is ignored. The window
    # comes back once, and no overlay lies over it.
    during_window_capture("Region")
    wait_for(lambda: shown(main) and not tray_icon(wm_class),
             '"Aktives Fensters" did not bring the window back and remove the icon')
    others = [w for w in xdo("search", "--onlyvisible", "--pid", str(app.pid)).split()
              if w != main and viewable(w)]
    if others:
        fail('"Region" during the window capture opened windows %s' % others)

    # "Beenden": "Nein" keeps the program in the tray; "Ja", during the wait of a window
    # capture (which it withdraws first), then "Nein" to saving the unsaved capture, ends
    # it.
    for key in ("alt+n", "alt+j"):
        if key == "alt+j":
            menu = during_window_capture("Beenden")
        else:
            icon = into_tray(lambda: xdo("windowminimize", main), "The minimise box")
            menu, entries = menu_of(icon)
            click_at(centre(entries["Beenden"]))
        box = wait_for(lambda: visible("^%s$" % EXIT_QUESTION[0]), "Beenden asked nothing")
        text = a11y.window_text(menu[0], EXIT_QUESTION[0])
        if text != [EXIT_QUESTION[1]]:
            fail("the exit question reads %s" % text)
        answer(box[0], key)
        wait_for(lambda: not visible("^%s$" % EXIT_QUESTION[0]), "the question stayed open")
    box = wait_for(lambda: visible("^%s$" % SAVE_QUESTION[0]),
                   "closing did not ask about the unsaved picture")
    text = a11y.window_text(menu[0], SAVE_QUESTION[0])
    if text != [SAVE_QUESTION[1]]:
        fail("the save question reads %s" % text)
    answer(box[0], "alt+n")
    wait_for(lambda: app.poll() is not None, "the program did not end")
    if app.returncode != 0:
        fail("the program ended with status %d" % app.returncode)
    if tray_icon(wm_class):
        fail("the icon stayed behind in the tray")
    print("PASS: Tray and the minimise box hide into the icon; its menu captures, restores "
          "and quits")


def no_tray_story(binary, root, procs):
    wm_class = os.path.basename(binary)
    if tray_hosts():
        fail("a tray host runs on the display meant to have none")
    env, bus = sandbox(root)
    procs.append(bus)
    a11y = Accessibility(env["DBUS_SESSION_BUS_ADDRESS"])
    app, main = start(binary, env, procs)
    spy = subprocess.Popen(["stdbuf", "-oL", "xprop", "-spy", "-id", main, "WM_STATE"],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    procs.append(spy)

    # Minimised with Tray or the minimise box, the window stays iconic at the window
    # manager, where it can be activated again; it is never withdrawn. The info window
    # closes as it does on the way into the tray.
    for minimise in (lambda: press(main, "Tray"), lambda: xdo("windowminimize", main)):
        press(main, "Info")
        wait_for(lambda: visible("^Kamsulo - Info$"), "the info window did not open")
        minimise()
        wait_for(lambda: iconic(main), "minimising did not leave the window iconic")
        wait_for(lambda: not visible("^Kamsulo - Info$"), "the info window stayed open")
        xdo("windowactivate", main)
        wait_for(lambda: shown(main), "the minimised window could not be activated again")
    spy.terminate()
    states = spy.communicate(timeout=10)[0]
    if "Withdrawn" in states or "not found" in states:
        fail("the window was hidden while minimised:\n" + states)
    if tray_icon(wm_class) or visible("^Kamsulo$"):
        fail("an icon appeared without a notification area")

    # A tray host started later takes the icon. At the top left the menu opens down from
    # the pointer, over its first entry: the release of the click must not choose it.
    trayer = subprocess.Popen(TRAYER, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(trayer)
    wait_for(tray_hosts, "trayer did not start")
    press(main, "Tray")
    icon = wait_for(lambda: hidden(main) and tray_icon(wm_class),
                    "Tray did not use the tray host that started later")
    mark = a11y.mark()
    click_at(centre(icon))
    menu, entries = open_menu(a11y, mark)
    x, y, w, h = entries["Region"]
    px, py = centre(icon)
    if not (x <= px < x + w and y <= py < y + h):
        fail("the pointer %s is not over the first entry %s" % ((px, py), entries["Region"]))
    menu_stays_open(a11y, menu)
    if not hidden(main) or not tray_icon(wm_class):
        fail("the click that opened the menu chose its first entry")

    # The tray host ends (a panel that crashed): the window comes back by itself.
    xdo("key", "Escape")
    trayer.kill()
    wait_for(lambda: shown(main), "the window stayed hidden after the tray host ended")
    print("PASS: without a notification area the window stays iconic and reachable and "
          "the info window closes; a tray host that starts later is used, and when it ends "
          "the window comes back")


def lost_host_story(binary, root, procs):
    import dbus
    watcher_script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sni_watcher.py")
    for number, mode in enumerate(("notices", "deaf"), 1):
        env, bus = sandbox(os.path.join(root, mode))
        procs += [bus, subprocess.Popen([sys.executable, watcher_script, mode], env=env)]
        host = dbus.bus.BusConnection(env["DBUS_SESSION_BUS_ADDRESS"])
        wait_for(lambda: host.name_has_owner(WATCHER), "the watcher did not start")
        name = "org.kde.StatusNotifierHost-%d" % number
        host.request_name(name)
        watcher = host.get_object(WATCHER, "/StatusNotifierWatcher")
        watcher.RegisterStatusNotifierHost(name, dbus_interface=WATCHER)
        app, main = start(binary, env, procs)
        press(main, "Tray")
        wait_for(lambda: hidden(main) and watcher.Get(
            WATCHER, "RegisteredStatusNotifierItems", dbus_interface="org.freedesktop.DBus.Properties"),
            "Tray did not hide the window behind a status notifier item")
        host.close()
        wait_for(lambda: shown(main), "the window stayed hidden after the host ended, with a "
                 "watcher that %s" % ("said so" if mode == "notices" else "did not notice"))
        stop(app)
    print("PASS: when the host of the icon ends and the watcher stays, the window comes back")


def main():
    args = sys.argv[1:]
    no_tray = args[:1] == ["--no-tray"]
    if no_tray:
        args = args[1:]
    if len(args) != 1:
        print(__doc__)
        return 2
    binary = os.path.abspath(args[0])
    check_setup(binary, ("xdotool", "xprop", "xwininfo", "xclip", "display", "dbus-daemon",
                         "trayer"), ("dbus", "numpy", "gi.repository.GLib", "PIL.ImageGrab"))

    root = tempfile.mkdtemp(prefix="kamsulo-tray.")
    procs = []
    try:
        if no_tray:
            no_tray_story(binary, root, procs)
            stop_all(procs)  # its window would be in the way
            lost_host_story(binary, os.path.join(root, "hosts"), procs)
            return 0
        tray_story(binary, root, procs)
        # Without a notification area: a display of its own, without the tray host.
        with_display = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                    "scripts", "with-display")
        status = subprocess.run([with_display, sys.executable, os.path.abspath(__file__),
                                 "--no-tray", binary], env=dict(os.environ, KAMSULO_TRAY="none"),
                                timeout=300).returncode
        return 1 if status else 0
    finally:
        stop_all(procs)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
