#!/usr/bin/env python3
"""The program as a native Wayland client on a headless sway (scripts/with-wayland),
started with no Qt platform forced, beside a window of one colour at 200,150 (400x300):
it comes up through xdg_shell; --screen shows that window in the picture; a Region drag
across its corner crops exactly; Fenster after a click on it gives exactly its pixels;
MsPaint puts the picture on the clipboard and has the editor open it from a private PNG
named by the capture's time; a portal that fails gives the German message (no permission command: sway's
portal asks nothing) and leaves the picture as it was, and --region --output then ends with that line
and status 1 instead of a message box; without a portal, --screen --output says so in one German line; a
picture that another program put on the clipboard is pasted; Tray registers a StatusNotifierItem with waybar's watcher,
whose menu waybar is to show on a left click, with the tray menu's entries in order, and
"Gesamter Screen" chosen there captures the screen and brings the window back, with no
window of the menu's own on the way; "Region" chosen while "Gesamter Screen" waits for a
stopped portal is ignored;
at a scale of 1.5, --screen and a Region drag keep the output's own pixels, and with a
second output --screen is the first one's; with that second output at 1 beside the first
at 1.5, the canvas shows a picture one pixel per device pixel, a Region drag on the second
output is outlined and cut there, and one across both keeps each output's own pixels
(a second wayvnc serves the second output). Pictures and texts are
read back through the clipboard (ClipBoard, or Ctrl+A, Ctrl+C on a message box) with wl-paste;
pointer and keys go through wayvnc as a small RFB client. Every step polls for what it
can observe.

Usage: with-wayland wayland_story.py PATH/TO/kamsulo PATH/TO/color_window
Exit status 0 passed, 1 failed.
"""
import glob
import io
import json
import os
import re
import select
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

import numpy
from PIL import Image

from story_steps import TIMEOUT, fail, wait_for

COLOR = (0xFF, 0x88, 0x00)
BACKGROUND = (0x33, 0x66, 0x99)
HOVER = (0xFF, 0xFF, 0x00)  # a main button under the pointer
GREEN = (0x22, 0xAA, 0x44)
RED = (0xFF, 0x00, 0x00)  # the region outline
WHITE = (0xFF, 0xFF, 0xFF)  # the region label's background
PASTE_CORNER = (570, 6)  # a double click there pastes
WINDOW = (200, 150, 400, 300)  # where the session's compositor puts the colour window
BUTTONS = {"Region": 30, "Screen": 92, "Fenster": 164, "ClipBoard": 226, "MsPaint": 286,
           "Tray": 472}
BUTTON_Y = 30  # the main buttons' middle, in the window
PORTAL_FILE = "/tmp/out.png"  # where the wlr portal writes every caller's picture
TRAY_MENU = ["Region", "Gesamter Screen", "Aktives Fensters", "-", "Programmfenster anzeigen",
             "-", "Beenden"]
FAILED = "kamsulo: Die Arbeitsumgebung konnte das Bildschirmfoto nicht aufnehmen.\n"
NO_PORTAL = ("kamsulo: Kein Bildschirmfoto möglich: Die Arbeitsumgebung bietet keinen Dienst "
             "dafür an (xdg-desktop-portal fehlt).\n")
# A session bus of its own that offers no services.
BARE_BUS = """<busconfig><type>session</type><listen>unix:tmpdir=%s</listen>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>
<allow own="*"/></policy></busconfig>"""
KEY_RETURN, KEY_ESCAPE, KEY_CONTROL, KEY_A, KEY_C = 0xFF0D, 0xFF1B, 0xFFE3, 0x61, 0x63


def run(*cmd):
    return subprocess.run(cmd, capture_output=True, timeout=30).stdout


class Vnc:
    """Pointer and keys through wayvnc: RFB 3.8 without a password."""

    def __init__(self, port):
        self.s = socket.create_connection(("127.0.0.1", port), 10)
        self.read(12)
        self.s.sendall(b"RFB 003.008\n")
        if 1 not in self.read(self.read(1)[0]):
            fail("wayvnc offers no security type None")
        self.s.sendall(b"\x01")
        if self.read(4) != b"\0\0\0\0":
            fail("wayvnc refused the connection")
        self.s.sendall(b"\x01")  # shared
        self.read(struct.unpack(">I", self.read(24)[20:])[0])  # the desktop's name

    def read(self, n):
        data = b""
        while len(data) < n:
            part = self.s.recv(n - len(data))
            if not part:
                fail("wayvnc closed the connection")
            data += part
        return data

    def pointer(self, x, y, buttons=0):
        self.s.sendall(struct.pack(">BBHH", 5, buttons, x, y))

    def click(self, x, y):
        self.pointer(x, y)
        self.pointer(x, y, 1)
        self.pointer(x, y)

    def drag(self, x0, y0, x1, y1):
        self.pointer(x0, y0)
        self.pointer(x0, y0, 1)
        for step in range(1, 11):
            self.pointer(x0 + (x1 - x0) * step // 10, y0 + (y1 - y0) * step // 10, 1)
        self.pointer(x1, y1)

    def keys(self, *keysyms):
        for down in (1, 0):
            for k in keysyms if down else reversed(keysyms):
                self.s.sendall(struct.pack(">BBxxI", 4, down, k))


# --- What sway shows -------------------------------------------------------------------

def windows():
    def walk(node, floating):
        if "pid" in node:
            yield node, floating
        for child in node.get("nodes", []):
            yield from walk(child, floating)
        for child in node.get("floating_nodes", []):
            yield from walk(child, True)
    tree = json.loads(run("swaymsg", "-t", "get_tree", "-r") or b"{}")
    return list(walk(tree, False)) if tree else []


def program(floating=False, fullscreen=False):
    """The program's window of that kind, shown; None when there is none."""
    for node, floats in windows():
        if node.get("app_id") == "kamsulo" and node.get("visible") and floats == floating \
                and bool(node.get("fullscreen_mode")) == fullscreen:
            return node
    return None


def origin(node):
    return (node["rect"]["x"] + node["window_rect"]["x"],
            node["rect"]["y"] + node["window_rect"]["y"])


# --- The clipboard ---------------------------------------------------------------------

def pasted_picture():
    data = run("wl-paste", "--no-newline", "--type", "image/png")
    try:
        return numpy.asarray(Image.open(io.BytesIO(data)).convert("RGB")) if data else None
    except OSError:
        return None


def copied_picture(vnc, accept, what):
    """Presses ClipBoard until the pasted picture is one that `accept` takes: the canvas
    gets the capture only once the window is back."""
    def attempt():
        main = program()
        if not main:
            return None
        x, y = origin(main)
        vnc.click(x + BUTTONS["ClipBoard"], y + BUTTON_Y)
        picture = wait_until_pasted(accept)
        return None if picture is None else [picture]
    return wait_for(attempt, what)[0]


def wait_until_pasted(accept):
    deadline = time.time() + 2
    while time.time() < deadline:
        picture = pasted_picture()
        if picture is not None and accept(picture):
            return picture
        time.sleep(0.05)
    return None


def color_box(picture, color):
    """The bounding box (left, top, width, height) of the pixels of that colour."""
    ys, xs = numpy.nonzero(numpy.all(picture == color, axis=2))
    if not len(xs):
        return None
    return (int(xs.min()), int(ys.min()), int(xs.max() - xs.min() + 1),
            int(ys.max() - ys.min() + 1))


def only(picture, color, box):
    """The picture holds `color` exactly in `box` and the background elsewhere."""
    left, top, width, height = box
    inside = picture[top:top + height, left:left + width]
    outside = picture.copy()
    outside[top:top + height, left:left + width] = BACKGROUND
    return bool(numpy.all(inside == color)) and bool(numpy.all(outside == BACKGROUND))


def lit(x, y):
    """Whether the main button at x, y shows the yellow of the button under the pointer."""
    screen = numpy.asarray(Image.open(io.BytesIO(run("grim", "-"))).convert("RGB"))
    band = screen[y - BUTTON_Y + 2:y + BUTTON_Y, x - 20:x + 20]
    return int(numpy.count_nonzero(numpy.all(band == HOVER, axis=2))) > 100


def press(vnc, button):
    """Clicks a main button once it lights up under the pointer: a window that has just
    been closed or resized may not take the pointer at once."""
    main = wait_for(program, "the main window is not shown")
    x, y = origin(main)
    x, y = x + BUTTONS[button], y + BUTTON_Y

    def pointed():
        vnc.pointer(x + 1, y)
        vnc.pointer(x, y)
        return lit(x, y)
    wait_for(pointed, "the %s button does not light up under the pointer" % button)
    vnc.click(x, y)


def answer_box(vnc, expected, key=KEY_RETURN):
    """Reads the message box's selectable text (a click into it, Ctrl+A, Ctrl+C) and
    closes the box with `key`; with `expected` None, leaves the clipboard alone."""
    box = wait_for(lambda: program(floating=True), "no message box for '%s'" % expected)
    if expected is None:
        vnc.keys(key)
        wait_for(lambda: not program(floating=True), "the message box stays")
        return
    run("wl-copy", "--clear")

    def copied():
        x, y = origin(box)
        vnc.click(x + box["window_rect"]["width"] * 2 // 3, y + 22)
        vnc.keys(KEY_CONTROL, KEY_A)
        vnc.keys(KEY_CONTROL, KEY_C)
        deadline = time.time() + 2
        while time.time() < deadline:
            text = run("wl-paste", "--no-newline", "--type", "text/plain").decode("utf-8", "replace")
            if expected in text:
                return text
            time.sleep(0.05)
        return None
    wait_for(copied, "the message box does not say '%s'" % expected)
    vnc.keys(key)
    wait_for(lambda: not program(floating=True), "the message box stays")


def headless(args, env):
    """(status, stderr) of the program writing a capture into a file."""
    try:
        done = subprocess.run(args, env=env, capture_output=True, text=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        fail("%s did not end" % " ".join(args[1:]))
    return done.returncode, done.stderr


def tray_items():
    return run("gdbus", "call", "--session", "--dest", "org.kde.StatusNotifierWatcher",
               "--object-path", "/StatusNotifierWatcher", "--method",
               "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierWatcher",
               "RegisteredStatusNotifierItems").decode()


def output_picture(name):
    return numpy.asarray(Image.open(io.BytesIO(run("grim", "-o", name, "-"))).convert("RGB"))


def near(box, expected):
    """A box of pixels of one colour where the compositor or a scaling blends its edges
    with what lies beside: each edge within a pixel of where it belongs."""
    return box is not None and all(abs(a - b) <= 1 for a, b in zip(
        (box[0], box[1], box[0] + box[2], box[1] + box[3]),
        (expected[0], expected[1], expected[0] + expected[2], expected[1] + expected[3])))


def mixed_scales(kamsulo, env, vnc, folder, procs):
    """The first output at 1.5, the second beside it at 1 (1920x1080 device pixels each,
    the second at 1280,0 logical, so at 1920,0 in the desktop's device pixels): the canvas
    shows a picture one pixel per device pixel; a Region drag on the second output shows
    its outline and label there and crops its pixels; one across both keeps each output's
    own pixels."""
    first, second = "HEADLESS-1", "HEADLESS-2"
    # The colour window on the second output, at 200,150 of its own 400x300 pixels (and
    # out of the way of the main window on the first).
    run("swaymsg", "[app_id=kamsulo-test-color]", "move", "absolute", "position", "1480", "150")
    wait_for(lambda: any(n.get("app_id") == "kamsulo-test-color" and origin(n) == (1480, 150)
                         for n, _ in windows()), "the colour window is not on the second output")

    # The canvas: a 300x200 picture is 300x200 device pixels on the output at 1.5.
    picture_file = os.path.join(folder, "gruen.png")
    Image.new("RGB", (300, 200), GREEN).save(picture_file)
    run("swaymsg", "focus", "output", first)
    procs.append(subprocess.Popen([kamsulo, picture_file], env=env))

    def shown_at_own_size():
        box = color_box(output_picture(first), GREEN)
        return box is not None and abs(box[2] - 300) <= 2 and abs(box[3] - 200) <= 2
    wait_for(shown_at_own_size, "the canvas at 1.5 does not show the picture at 300x200 "
             "device pixels")
    procs[-1].terminate()
    wait_for(lambda: procs[-1].poll() is not None, "the program does not end")

    # The pointer on the second output comes from a wayvnc of its own.
    port = free_port()
    procs.append(subprocess.Popen(["wayvnc", "-o", second, "127.0.0.1", str(port)]))
    vnc2 = wait_for(lambda: connect(port), "no wayvnc on the second output")

    def region(name):
        """Region into a file, once its overlays are in place. sway's tree shows them
        where they are to go at once, but sway moves a window there only when its
        program has answered, or after a while: a press before lands in the overlay on
        the second output as if it stood at the desktop's left. The frozen desktop holds
        the pointer where it stood: its picture there, with the pointer moved on and
        shown there too, is the overlay in place."""
        spot, moved = (1800, 900), (1500, 900)  # on the second output, where nothing stands

        def pointer_at(*places):
            shown = output_picture(second)
            return all(bool(numpy.any(shown[y - 12:y + 20, x - 12:x + 20] != shown[y + 60, x + 60]))
                       for x, y in places)
        vnc2.pointer(*spot)
        wait_for(lambda: pointer_at(spot), "the pointer does not go to the second output")
        shot = os.path.join(folder, name)
        procs.append(subprocess.Popen([kamsulo, "--region", "--output", shot], env=env))
        wait_for(lambda: sum(1 for n, _ in windows() if n.get("app_id") == "kamsulo"
                             and n.get("fullscreen_mode")) == 2, "no overlay on each output")
        vnc2.pointer(*moved)
        wait_for(lambda: pointer_at(spot, moved),
                 "the overlay is not in place on the second output")
        return shot

    def result(shot, size, window_box, what):
        wait_for(lambda: procs[-1].poll() is not None, "%s: Region did not end" % what)
        picture = numpy.asarray(Image.open(shot).convert("RGB"))
        if picture.shape[1::-1] != size or not near(color_box(picture, COLOR), window_box):
            fail("%s: %s, the window at %s" % (what, picture.shape[1::-1],
                                                color_box(picture, COLOR)))

    # A drag on the second output: outline and label there, none on the first, and the
    # second output's pixels inside the outline.
    shot = region("zweiter.png")
    vnc2.pointer(500, 350)
    vnc2.pointer(500, 350, 1)
    vnc2.pointer(600, 450, 1)
    vnc2.pointer(700, 550, 1)

    # (The pointer's crosshair covers the corner under it.)
    def outline_and_label():
        shown = output_picture(second)
        return all(bool(numpy.all(edge == RED)) for edge in (
            shown[350, 500:701], shown[350:551, 500], shown[350:521, 700], shown[550, 500:671])) \
            and int(numpy.count_nonzero(numpy.all(shown[555:575, 705:745] == WHITE, axis=2))) > 50
    wait_for(outline_and_label, "no outline and label on the second output where it was dragged")
    # (Above the bar at the bottom, whose tray icon may hold red.)
    if numpy.any(numpy.all(output_picture(first)[:1000] == RED, axis=2)):
        fail("a drag on the second output shows an outline on the first")
    vnc2.pointer(700, 550)
    result(shot, (199, 199), (0, 0, 99, 99), "Region on the second output")

    # From the first output across to the second: each part at its own pixels, the
    # window 100x149 of the second output's own in the crop from 1501,301.
    shot = region("beide.png")
    vnc.pointer(1500, 300)
    vnc.pointer(1500, 300, 1)
    vnc.pointer(1800, 600, 1)
    # The two pointers come from two programs, which sway hears in no set order: the
    # second moves once the outline shows that the first one's press has arrived.
    wait_for(lambda: bool(numpy.all(output_picture(first)[300, 1500:1781] == RED)),
             "no outline on the first output from the press")
    vnc2.pointer(100, 500)
    vnc2.pointer(300, 700)
    wait_for(lambda: bool(numpy.all(output_picture(second)[700, 0:271] == RED)),
             "the outline does not follow the pointer onto the second output")
    vnc.pointer(1800, 600)  # the first pointer's button goes up where the pointer is
    result(shot, (719, 399), (619, 0, 100, 149), "Region across both outputs")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def connect(port):
    try:
        return Vnc(port)
    except OSError:
        return None


def tray_menu():
    """The menu of the program's status notifier item, which the host is to show on a
    left click: its entries (labels, "-" for a separator), and a function that clicks
    an entry, as the host does when one is chosen."""
    import dbus
    bus = dbus.SessionBus()
    name = re.search(r"'([^'/]+)/StatusNotifierItem'", tray_items())[1]
    item = bus.get_object(name, "/StatusNotifierItem").GetAll(
        "org.kde.StatusNotifierItem", dbus_interface="org.freedesktop.DBus.Properties")
    if not item["ItemIsMenu"]:
        fail("the host is not to show the item's menu on a left click (ItemIsMenu false)")
    menu = dbus.Interface(bus.get_object(name, item["Menu"]), "com.canonical.dbusmenu")
    _, (_, _, children) = menu.GetLayout(0, -1, [])
    ids = {str(props.get("label", "-")): int(i) for i, props, _ in children}

    def click(label):
        menu.Event(ids[label], "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))
    return [str(p.get("label", "-")) for _, p, _ in children], click


def main():
    if len(sys.argv) != 3 or not os.environ.get("WAYLAND_DISPLAY"):
        fail("usage: with-wayland wayland_story.py KAMSULO COLOR_WINDOW")
    kamsulo, color_window = sys.argv[1:]
    vnc = Vnc(int(os.environ["KAMSULO_VNC_PORT"]))
    env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
    procs = [subprocess.Popen([color_window, "#%02x%02x%02x" % COLOR], env=env)]
    try:
        wait_for(lambda: any(n.get("app_id") == "kamsulo-test-color" and origin(n) == WINDOW[:2]
                             for n, _ in windows()), "the colour window is not in place")
        run("wl-copy", "--clear")
        procs.append(subprocess.Popen([kamsulo, "--screen"], env=env))
        main_window = wait_for(program, "the program shows no window")
        if main_window.get("shell") != "xdg_shell":
            fail("the program is no native Wayland client: shell %s" % main_window.get("shell"))

        # --screen: the whole output with the colour window where it stands.
        copied_picture(vnc, lambda p: p.shape[:2] == (1080, 1920) and
                       color_box(p, COLOR) == WINDOW, "--screen did not show the window")

        # Region across the window's bottom-right corner: the pixels inside the outline.
        press(vnc, "Region")
        wait_for(lambda: program(fullscreen=True), "no region overlay")
        vnc.drag(500, 350, 700, 550)
        copied_picture(vnc, lambda p: p.shape[:2] == (199, 199) and only(p, COLOR, (0, 0, 99, 99)),
                       "the region crop is not the pixels inside the outline")

        # Fenster: the prompt, a click on the colour window, exactly its pixels.
        press(vnc, "Fenster")
        answer_box(vnc, "Klicke auf das gewünschte Fenster")
        # The portal's frame shows the pointer: it leaves the window at once, well
        # within the program's wait of two seconds.
        vnc.click(400, 300)
        vnc.pointer(1000, 800)
        copied_picture(vnc, lambda p: p.shape[:2] == (300, 400) and bool(numpy.all(p == COLOR)),
                       "Fenster did not give the colour window's pixels")

        # MsPaint: the picture goes to the clipboard and, as no keys reach the editor,
        # into a private PNG named by the capture's time, which the editor opens.
        run("wl-copy", "--clear")
        press(vnc, "MsPaint")
        handed = wait_for(lambda: glob.glob(os.path.join(
            os.environ["HOME"], ".cache", "**", "malprogramm", "Bildschirmfoto *.png"),
            recursive=True), "no picture file for the paint program")[0]
        if not re.fullmatch(r"Bildschirmfoto \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d\.png",
                            os.path.basename(handed)):
            fail("the picture file's name tells no time: " + handed)
        if os.stat(os.path.dirname(handed)).st_mode & 0o077:
            fail("others may read the paint program's folder")
        editor = wait_for(lambda: next((n for n, _ in windows() if os.path.basename(handed)
                                        in (n.get("name") or "")), None),
                          "the editor shows no window with the picture file")
        picture = wait_for(lambda: [numpy.asarray(Image.open(handed).convert("RGB"))],
                           "the picture file does not decode")[0]
        pasted = wait_for(lambda: [p for p in [pasted_picture()] if p is not None],
                          "MsPaint left no picture on the clipboard")[0]
        if picture.shape[:2] != (300, 400) or not numpy.all(picture == COLOR) or \
                not numpy.array_equal(picture, pasted):
            fail("the editor's file or the clipboard is not the captured window")
        os.kill(editor["pid"], signal.SIGTERM)
        wait_for(lambda: all(n["pid"] != editor["pid"] for n, _ in windows()),
                 "the editor does not end")

        # The portal failing, here because its backend cannot write its picture: the
        # German message, and the picture stays as it was. Into a file, Region says it
        # on stderr as the other captures do.
        scratch = tempfile.mkdtemp()
        os.mkdir(PORTAL_FILE)
        try:
            press(vnc, "Screen")
            answer_box(vnc, FAILED.split(": ", 1)[1].strip())
            said = headless([kamsulo, "--region", "--output", os.path.join(scratch, "r.png")], env)
            if said != (1, FAILED):
                fail("a failed --region --output: %s" % (said,))
        finally:
            os.rmdir(PORTAL_FILE)
        # Without a portal on the session bus: the German line alone.
        with open(os.path.join(scratch, "bus.conf"), "w") as config:
            config.write(BARE_BUS % scratch)
        bus = subprocess.Popen(["dbus-daemon", "--config-file", config.name, "--nofork",
                                "--print-address"], stdout=subprocess.PIPE, text=True)
        try:
            bare = dict(env, DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip())
            said = headless([kamsulo, "--screen", "--output", os.path.join(scratch, "s.png")], bare)
            if said != (1, NO_PORTAL):
                fail("--screen without a portal: %s" % (said,))
        finally:
            bus.terminate()
            bus.wait(10)
        run("wl-copy", "--clear")
        copied_picture(vnc, lambda p: p.shape[:2] == (300, 400) and bool(numpy.all(p == COLOR)),
                       "a refused Screen changed the picture")

        # Paste: a picture put on the clipboard by another program, a double click on
        # the paste corner, the unsaved capture not saved first, and the canvas shows it.
        pasted_in = io.BytesIO()
        Image.new("RGB", (50, 40), GREEN).save(pasted_in, "PNG")
        subprocess.run(["wl-copy", "--type", "image/png"], input=pasted_in.getvalue(), timeout=30)
        x, y = origin(wait_for(program, "the main window is not shown"))
        vnc.click(x + PASTE_CORNER[0], y + PASTE_CORNER[1])
        vnc.click(x + PASTE_CORNER[0], y + PASTE_CORNER[1])
        answer_box(vnc, None, KEY_ESCAPE)  # "Nein" to saving the capture first
        wait_for(lambda: (color_box(numpy.asarray(Image.open(io.BytesIO(run("grim", "-")))
                                                  .convert("RGB")), GREEN) or ())[2:] == (50, 40),
                 "the pasted picture is not on the canvas")

        # Tray: an item with waybar's watcher, and the window out of sight. Its menu is
        # one that waybar shows, on a left click too: a popup of the program's own
        # cannot be opened while its window is hidden.
        press(vnc, "Tray")
        wait_for(lambda: "StatusNotifierItem" in tray_items() and not program(),
                 "no StatusNotifierItem registered after Tray")
        entries, click = tray_menu()
        if entries != TRAY_MENU:
            fail("the item's menu has the entries %s" % entries)
        # "Gesamter Screen" from it: the screen as it is, the window back and the item
        # gone; the only window that appears on the way is the main one.
        spy = subprocess.Popen(["stdbuf", "-oL", "swaymsg", "-r", "-m", "-t", "subscribe",
                                '["window"]'], stdout=subprocess.PIPE, text=True)
        procs.append(spy)

        def subscribed():  # a mark on the colour window is an event to see
            run("swaymsg", '[app_id="kamsulo-test-color"] mark --add --toggle seen')
            return select.select([spy.stdout], [], [], 0.2)[0]
        wait_for(subscribed, "sway does not report the windows' events")
        click("Gesamter Screen")
        copied_picture(vnc, lambda p: p.shape[:2] == (1080, 1920) and
                       color_box(p, COLOR) == WINDOW,
                       '"Gesamter Screen" from the tray menu did not capture the screen')
        wait_for(lambda: "StatusNotifierItem" not in tray_items(),
                 'the item stayed after "Gesamter Screen"')
        spy.terminate()
        events = [json.loads(line) for line in spy.communicate(timeout=10)[0].splitlines()]
        shown = [e["container"] for e in events if e["change"] == "new"]
        if [w["id"] for w in shown] != [program()["id"]]:
            fail("windows appeared on the way: %s" % [(w["id"], w["app_id"]) for w in shown])

        # One capture at a time: "Region" chosen while "Gesamter Screen" waits for the
        # portal (stopped meanwhile) is ignored: the portal is asked once, and the window
        # comes back with no overlay over it.
        press(vnc, "Tray")
        wait_for(lambda: "StatusNotifierItem" in tray_items() and not program(),
                 "no StatusNotifierItem registered after Tray")
        _, click = tray_menu()
        calls = subprocess.Popen(["stdbuf", "-oL", "dbus-monitor", "--session",
                                  "type='method_call',interface='org.freedesktop.portal.Screenshot'"],
                                 stdout=subprocess.PIPE, text=True)
        procs.append(calls)
        portal = int(run("pgrep", "-u", str(os.getuid()), "-f", "/xdg-desktop-portal( |$)").split()[0])
        seen = []

        def screenshot_calls():
            while select.select([calls.stdout], [], [], 0.1)[0]:
                seen.append(calls.stdout.readline())
            return len([line for line in seen if "member=Screenshot" in line])
        os.kill(portal, signal.SIGSTOP)
        try:
            click("Gesamter Screen")
            wait_for(lambda: screenshot_calls() == 1, "Gesamter Screen did not ask the portal")
            click("Region")
        finally:
            os.kill(portal, signal.SIGCONT)
        copied_picture(vnc, lambda p: p.shape[:2] == (1080, 1920),
                       '"Gesamter Screen" did not capture after the portal went on')
        if program(fullscreen=True) or screenshot_calls() != 1:
            fail('"Region" during "Gesamter Screen" was not ignored: %d portal calls'
                 % screenshot_calls())
        calls.terminate()

        press(vnc, "Tray")
        wait_for(lambda: not program(), "Tray did not hide the window again")

        # At a fractional scale the pictures keep the output's own pixels: the whole
        # 1920x1080 output, and a Region drag in them exactly.
        output = json.loads(run("swaymsg", "-t", "get_outputs"))[0]["name"]
        run("swaymsg", "output", output, "scale", "1.5")
        folder = tempfile.mkdtemp()
        # Then with a second output beside it: --screen is the first one's alone.
        for args, pointer, picture_box, window_box in (
                (["--screen"], None, (1920, 1080), tuple(v * 3 // 2 for v in WINDOW)),
                (["--region"], (750, 525, 1050, 825), (299, 299), (0, 0, 149, 149)),
                (None, None, (1920, 1080), tuple(v * 3 // 2 for v in WINDOW))):
            if args is None:
                run("swaymsg", "create_output")
                wait_for(lambda: len(json.loads(run("swaymsg", "-t", "get_outputs"))) == 2,
                         "no second output")
                args = ["--screen"]
            shot = os.path.join(folder, "%s%d.png" % (args[0][2:], len(procs)))
            procs.append(subprocess.Popen([kamsulo, *args, "--output", shot], env=env))
            if pointer:
                wait_for(lambda: program(fullscreen=True), "no region overlay at scale 1.5")
                vnc.drag(*pointer)
            wait_for(lambda: procs[-1].poll() is not None, "%s did not end" % args[0])
            picture = numpy.asarray(Image.open(shot).convert("RGB"))
            if picture.shape[1::-1] != picture_box or color_box(picture, COLOR) != window_box:
                fail("%s at scale 1.5: %s, the window at %s" % (
                    args[0], picture.shape[1::-1], color_box(picture, COLOR)))
        mixed_scales(kamsulo, env, vnc, folder, procs)
        print("wayland story passed")
    finally:
        for p in reversed(procs):
            p.terminate()
            try:
                p.wait(10)
            except subprocess.TimeoutExpired:
                p.kill()


if __name__ == "__main__":
    main()
