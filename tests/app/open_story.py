#!/usr/bin/env python3
"""Opening image files on the real program, as the user does it.

Three program runs in a private home whose desktop is $HOME/Desktop:
1. No file at start. Open starts in the desktop, where a bare name loads; a full path
   from another folder loads and the next Open starts there; the unsaved question's
   "Nein" goes on to the file dialog; a drawn stroke is taken away by clear-all;
   a picture 20000 pixels wide is refused and leaves the canvas empty.
2. `kamsulo BREIT` with the too wide picture: its box comes over the main window, and
   the canvas stays empty.
3. `kamsulo FILE` with a good picture: it is on the canvas at start; the next Open
   starts in its folder, where a text file is refused with the loader's German text.

Every step waits for what it can observe (a window, the screen, the clipboard)
instead of sleeping.

Usage: open_story.py PATH/TO/kamsulo   (on a display, e.g. under with-display)
Exit status 0 passed, 1 failed (a missing tool or display fails too).
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (TPP, activate, check_setup, copy_box_text, clipboard, fail,  # noqa: E402
                 grab_screen, keys, move, run, sandbox_home, stop, visible, wait_until,
                 window_rect, xdo)

VIEWPORT = (120 // TPP, 1020 // TPP)  # the viewport's top-left in the client area
PALETTE_HEIGHT = 540 // TPP  # the palette strip along the bottom of the client area
FREEHAND_LEFT = 120  # the freehand tool's button in the strip, twips

DIALOG_TITLE = "PNG, BMP, JPG, JPEG, GIF, TIF, TIFF, WMF, RLE (Bilddateien)"
GUARD_TITLE = "Pixtorel - Kontrollabfrage"
GUARD_TEXT = "Der letzte ScreenShot wurde noch nicht gespeichert. Jetzt speichern?"
CLEAR_TITLE = "Kamsulo - Kontrollabfrage"
TOO_LARGE_TEXT = "Die ScreenShotDatei ist zu gross! Die Datei kann nicht geladen werden."
INFO_TITLE = "Kamsulo - Info"
UNSUPPORTED_TEXT = "Bildformat wird nicht unterstützt"


def find_window(pattern, title):
    """The visible window matching `pattern` (xdotool matches without case); fails
    unless its title is exactly `title`."""
    ids = wait_until(lambda: visible(pattern))
    if not ids:
        fail('no window "%s" appeared' % title)
    name = xdo("getwindowname", ids[-1]).rstrip("\n")
    if name != title:
        fail('the window is titled "%s", not "%s"' % (name, title))
    return ids[-1]


def gone(win):
    if not wait_until(lambda: win not in visible(".")):
        fail("window %s stayed open" % win)


def box_text(win, expected):
    """Fails unless the message box's text holds `expected`."""
    if expected not in copy_box_text(win, expected):
        fail('the box does not say "%s"; the clipboard holds:\n%s' % (expected, clipboard()))


class Story:
    def __init__(self, binary, env, cwd, np):
        self.binary, self.env, self.cwd = binary, env, cwd
        self.np = np
        self.app = None

    # --- the program -----------------------------------------------------------------
    def start(self, *args):
        self.app = subprocess.Popen([self.binary, *args], env=self.env, cwd=self.cwd,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.main = find_window("^Kamsulo $", "Kamsulo ")
        self.x, self.y, self.w, self.h = window_rect(self.main)

    def stop(self):
        stop(self.app)

    def park(self):
        """Rests the pointer on the window's left margin: no tooltip, no hover."""
        move(self.x + 2, self.y + 2)

    def click(self, x, y, repeat=1):
        move(x, y)
        xdo("click", "--repeat", str(repeat), "--delay", "80", "1")

    # --- the screen ------------------------------------------------------------------
    def grab(self):
        return self.np.asarray(grab_screen())

    def viewport(self, shot):
        """The viewport down to the palette strip, and its top-left on the screen."""
        left, top = self.x + VIEWPORT[0], self.y + VIEWPORT[1]
        return shot[top:self.y + self.h - PALETTE_HEIGHT, left:self.x + self.w], left, top

    def find(self, picture):
        """Where the screen shows `picture` pixel for pixel inside the viewport (its
        top-left on the screen), or None."""
        np = self.np
        area, left, top = self.viewport(self.grab())
        ph, pw = picture.shape[:2]
        for y, x in np.argwhere((area == picture[0, 0]).all(axis=2))[:1000]:
            if np.array_equal(area[y:y + ph, x:x + pw], picture):
                return left + int(x), top + int(y)
        return None

    def shows(self, picture, what, centre=None):
        """Waits until the canvas shows `picture` and returns its top-left on the
        screen: with `centre`, centred there (give or take a pixel); else where two
        grabs in a row find it."""
        seen = [None, None]

        def placed():
            seen[:] = [self.find(picture), seen[0]]
            if not seen[0] or centre is None:
                return seen[0] if seen[0] == seen[1] else None
            ph, pw = picture.shape[:2]
            off = (seen[0][0] + pw // 2 - centre[0], seen[0][1] + ph // 2 - centre[1])
            return seen[0] if max(map(abs, off)) <= 1 else None

        where = wait_until(placed)
        if not where:
            fail("the canvas does not show %s%s (last seen at %s)"
                 % (what, "" if centre is None else " centred at %s" % (centre,), seen[0]))
        return where

    def empty(self):
        """True when the viewport's upper part is one colour: no picture on it (the
        size grip further down changes all the time)."""
        area = self.viewport(self.grab())[0][:150, :-30]
        return bool((area == area[0, 0]).all())

    def upper_viewport(self):
        """The viewport's upper part (the size grip further down changes all the time)."""
        return self.viewport(self.grab())[0][:150, :-30].copy()

    def settled_viewport(self):
        """The viewport's upper part once two grabs in a row agree."""
        last = [None]

        def same():
            now = self.upper_viewport()
            stable = last[0] is not None and self.np.array_equal(now, last[0])
            last[0] = now
            return stable

        if not wait_until(same):
            fail("the viewport does not hold still")
        return last[0]

    # --- Open --------------------------------------------------------------------------
    def press_open(self, guard):
        """Presses Open; with `guard`, the unsaved question comes first and is answered
        "Nein". Returns the file dialog."""
        activate(self.main)
        self.click(self.x + (4785 + 450) // TPP, self.y + (10 + 460) // TPP)
        self.park()
        if guard:
            box = find_window("Kontrollabfrage$", GUARD_TITLE)
            box_text(box, GUARD_TEXT)
            keys("alt+n")
            gone(box)
        elif visible("Kontrollabfrage$"):
            fail("Open asked about an unsaved picture with nothing on the canvas")
        return find_window("^PNG, BMP, .*Bilddateien.$", DIALOG_TITLE)

    def choose(self, dialog, name):
        activate(dialog)
        keys("ctrl+a")
        xdo("type", "--delay", "20", name)
        keys("Return")

    def open_file(self, name, guard=True):
        self.choose(self.press_open(guard), name)

    def answer_refusal(self, title, text):
        """The box of a refused file: title and text checked, then OK."""
        box = find_window("^" + title.replace(" ", ".") + "$", title)
        box_text(box, text)
        keys("Return")
        gone(box)
        return box


def noise(np, width, height, seed):
    """A picture in which every stroke changes pixels; its first pixel has a colour
    of its own, which finding it on the screen starts from."""
    pixels = np.random.RandomState(seed).randint(0, 256, (height, width, 3), dtype=np.uint8)
    pixels[pixels.sum(axis=2) == 3 + 141 + 59] = (0, 0, 0)
    pixels[0, 0] = (3, 141, 59)
    return pixels


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    check_setup(binary, ("xdotool", "xclip", "xwininfo", "xprop"),
                ("numpy", "PIL.Image", "PIL.ImageGrab"))
    import numpy as np
    from PIL import Image

    root = tempfile.mkdtemp(prefix="kamsulo-open-e2e.")
    story = None
    try:
        env, desktop = sandbox_home(root, "Desktop")
        other = os.path.join(root, "bilder")
        os.makedirs(other)
        on_desktop = noise(np, 160, 120, 1)
        far = noise(np, 200, 100, 2)
        only_there = noise(np, 96, 64, 3)
        Image.fromarray(on_desktop).save(os.path.join(desktop, "bild.png"))
        Image.fromarray(far).save(os.path.join(other, "fern.png"))
        Image.fromarray(only_there).save(os.path.join(other, "nur-hier.png"))
        too_wide = os.path.join(other, "breit.png")
        Image.new("RGB", (20000, 40), (200, 30, 30)).save(too_wide)
        with open(os.path.join(other, "notiz.txt"), "w") as f:
            f.write("Milch, Brot, Butter\n")

        # 1. No file at start; the program runs in a folder with none of the files.
        story = Story(binary, env, root, np)
        story.start()
        story.park()
        at_start = story.settled_viewport()

        story.open_file("bild.png", guard=False)
        left, top = story.shows(on_desktop, "bild.png from the desktop")
        centre = (left + 80, top + 60)
        if left - story.x - VIEWPORT[0] < 20 or top - story.y - VIEWPORT[1] < 20:
            fail("the small picture sits in the viewport's corner, not in its middle")

        story.open_file(os.path.join(other, "fern.png"))
        story.shows(far, "fern.png, opened by its full path", centre)

        story.open_file("nur-hier.png")
        where = story.shows(only_there, "nur-hier.png (did Open start in the last "
                            "folder?)", centre)

        # A freehand stroke across the picture, then clear-all with a double-click.
        story.click(story.x + (FREEHAND_LEFT + 187) // TPP,
                    story.y + story.h - PALETTE_HEIGHT + (90 + 200) // TPP)
        move(where[0] + 10, where[1] + 10)
        xdo("mousedown", "1")
        for step in range(1, 9):
            move(where[0] + 10 + step * 9, where[1] + 10 + step * 5)
        xdo("mouseup", "1")
        story.park()
        if not wait_until(lambda: not story.find(only_there)):
            fail("the freehand stroke did not change the canvas")
        story.click(where[0] + 48, where[1] + 32, repeat=2)
        box = find_window("Kontrollabfrage$", CLEAR_TITLE)
        keys("alt+j")
        gone(box)
        story.park()
        story.shows(only_there, "nur-hier.png again after clear-all", centre)

        story.open_file("breit.png")
        story.answer_refusal("kamsulo", TOO_LARGE_TEXT)
        if not wait_until(story.empty):
            fail("the canvas is not empty after the too wide picture")
        story.stop()

        # 2. The too wide picture given at start: its box over the main window.
        story.start(too_wide)
        box = find_window("^kamsulo$", "kamsulo")
        transient = run("xprop", "-id", box, "WM_TRANSIENT_FOR")
        if not transient.strip().endswith(hex(int(story.main))):
            fail("the box of the file given at start is not over the main window: "
                 + transient)
        bx, by, bw, bh = window_rect(box)
        if not (story.x <= bx + bw // 2 <= story.x + story.w
                and story.y <= by + bh // 2 <= story.y + story.h):
            fail("the box of the file given at start is not on the main window")
        story.answer_refusal("kamsulo", TOO_LARGE_TEXT)
        story.park()
        # Where the box stood, the viewport is drawn anew some time after it closed.
        if not wait_until(lambda: story.np.array_equal(story.upper_viewport(), at_start)):
            fail("the viewport does not look as at start after the refused file")
        story.stop()

        # 3. A good picture given at start; Open then starts in its folder.
        story.start(os.path.join(other, "fern.png"))
        story.shows(far, "fern.png given at start", centre)
        story.open_file("notiz.txt")
        story.answer_refusal(INFO_TITLE, UNSUPPORTED_TEXT)
        if not wait_until(story.empty):
            fail("the canvas is not empty after the text file")
        story.stop()
        print("PASS: opened from the desktop and the last folder, cleared back to the "
              "opened picture, refused a too wide picture and a text file, and opened "
              "files given at start")
        return 0
    finally:
        if story:
            story.stop()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
