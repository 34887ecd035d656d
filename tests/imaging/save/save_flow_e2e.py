#!/usr/bin/env python3
"""A save as the user makes it, on the real program: Screen, then Save; JPG at a
quality of 40; a path typed into the file dialog; the confirmation answered with
"Nein"; then closing the program, which must ask nothing any more.

Every step waits for what it can observe (a window, a pixel, the clipboard, the
program's end) instead of sleeping: input reaches the program in order, so only
what the program shows in answer needs waiting for.

Usage: save_flow_e2e.py PATH/TO/kamsulo   (on a display, e.g. under with-display)
Exit status 0 passed, 1 failed (a missing tool or display fails too).
"""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from e2e import (TPP, activate, check_setup, copy_box_text, fail, grab_screen, keys,  # noqa: E402
                 sandbox_home, stop_all, visible, wait_until, xdo)

CONFIRMATION = (
    'Der ScreenShot wurde unter "{path}" gespeichert.\n\n'
    "Soll der ScreenShot jetzt zur Kontrolle mit der zuständigen Anwendung angezeigt werden?"
)

# A pattern of plain blocks that the capture must contain.
BLOCKS = [((0, 0), (220, 30, 30)), ((100, 0), (30, 200, 40)),
          ((0, 100), (40, 40, 230)), ((100, 100), (240, 230, 40))]


def find_window(pattern, timeout=10.0):
    ids = wait_until(lambda: visible(pattern), timeout)
    return ids[-1] if ids else None


def gone(pattern, timeout=5.0):
    return wait_until(lambda: not visible(pattern), timeout) is not None


def click_twips(win, left, top, width, height):
    """Clicks the middle of a control given in twips inside a window."""
    x = round((left + width / 2) / TPP)
    y = round((top + height / 2) / TPP)
    xdo("mousemove", "--sync", "--window", win, str(x), str(y))
    xdo("click", "1")


def geometry(win):
    out = xdo("getwindowgeometry", "--shell", win)
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(values["X"]), int(values["Y"])


def screen_shows(x, y):
    """True when the screen shows the pattern's blocks with their corner at (x, y)."""
    shot = grab_screen()
    return all(shot.getpixel((x + bx + 50, y + by + 50))[:3] == colour
               for (bx, by), colour in BLOCKS)


def sandbox_env(root):
    """A private home with a German desktop folder and no applications at all, so
    that opening the file by mistake would show the chooser."""
    env, _ = sandbox_home(root, "Schreibtisch")
    os.makedirs(os.path.join(root, "share", "applications"))
    if os.path.isdir("/usr/share/mime"):
        os.symlink("/usr/share/mime", os.path.join(root, "share", "mime"))
    env.update(XDG_CONFIG_DIRS=os.path.join(root, "etc"),
               XDG_DATA_DIRS=os.path.join(root, "share"))
    env.pop("XDG_CURRENT_DESKTOP", None)
    return env


def block_mean(img, x, y, size=20):
    px = [img.getpixel((x + i, y + j)) for i in range(size) for j in range(size)]
    return tuple(sum(p[c] for p in px) / len(px) for c in range(3))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    binary = sys.argv[1]
    check_setup(binary, ("xdotool", "xclip", "xprop", "xwininfo", "identify", "display"),
                ("PIL.Image", "PIL.ImageGrab"))
    from PIL import Image

    root = tempfile.mkdtemp(prefix="kamsulo-save-e2e.")
    procs = []
    try:
        env = sandbox_env(root)
        pattern = os.path.join(root, "muster.png")
        img = Image.new("RGB", (200, 200))
        for (x, y), colour in BLOCKS:
            img.paste(colour, (x, y, x + 100, y + 100))
        img.save(pattern)
        viewer = subprocess.Popen(["display", "-title", "muster", "-geometry", "+60+560",
                                   pattern], env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        procs.append(viewer)
        muster = find_window("^muster$")
        if not muster:
            fail("the pattern window did not appear")

        # The window manager may still move the window: wait until the pattern is
        # on the screen where the window says it is.
        def pattern_shown():
            mx, my = geometry(muster)
            return (mx, my) if screen_shows(mx, my) else None

        where = wait_until(pattern_shown, 10)
        if not where:
            fail("the pattern is not on the screen")
        mx, my = where

        app = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE, text=True)
        procs.append(app)
        main_win = find_window("^Kamsulo $", 20)
        if not main_win:
            fail("the main window did not appear")

        # Screen: the window steps aside, the screen is copied, the window returns.
        # It stays away for at least 300 ms; should the look miss that, the capture
        # has long been made when the three seconds are over.
        click_twips(main_win, 1095, 10, 900, 920)
        gone("^Kamsulo $", 3)
        main_win = find_window("^Kamsulo $", 20)
        if not main_win:
            fail("the main window did not come back after the capture")

        # Save: the save dialog opens beside the main window.
        activate(main_win)
        click_twips(main_win, 5715, 10, 900, 920)
        save_win = find_window(r"^Speichern als\.\.\.$")
        if not save_win:
            fail('"Speichern als..." did not open')
        activate(save_win)
        click_twips(save_win, 60, 1020, 1275, 195)  # JPG - Qualität:
        click_twips(save_win, 60, 1260, 1635, 135)  # the scroll bar takes the focus
        keys("Home", *(["Right"] * 40))  # 0, then 40 single steps
        click_twips(save_win, 960, 60, 675, 255)  # Save

        dialog = find_window("^Bild speichern unter$")
        if not dialog:
            fail('the file dialog "Bild speichern unter" did not open')
        target_dir = os.path.join(root, "ziel")
        os.makedirs(target_dir)
        path = os.path.join(target_dir, "ergebnis.jpg")
        activate(dialog)
        keys("ctrl+a")
        xdo("type", "--delay", "20", path)
        keys("Return")

        box = find_window("^kamsulo$")
        if not box:
            fail("no confirmation after the save")
        expected = CONFIRMATION.format(path=path)
        text = copy_box_text(box, expected, 5.0)
        if expected not in text:
            fail("confirmation text differs:\n" + text + "\nexpected:\n" + expected)
        keys("alt+n")  # "Nein"
        if not gone("^kamsulo$"):
            fail('the confirmation stayed open after "Nein"')
        # "Ja" would open the chooser (the sandbox has no applications) in the same
        # handler that closes the box, modal and before anything else: the closing
        # below would then be refused, and the chooser is looked for until the end.

        if not os.path.isfile(path):
            fail("no file at " + path)
        quality = subprocess.run(["identify", "-format", "%Q", path], capture_output=True,
                                 text=True).stdout.strip()
        if quality != "40":
            fail("JPEG quality is %r, not 40" % quality)
        shot = Image.open(path).convert("RGB")
        if shot.size != (1920, 1080):
            fail("the saved picture is %dx%d, not the screen" % shot.size)
        for (x, y), colour in BLOCKS:
            got = block_mean(shot, mx + x + 40, my + y + 40)
            if any(abs(g - c) > 16 for g, c in zip(got, colour)):
                fail("pixel block at %d,%d is %s, expected %s" % (x, y, got, colour))

        # Closing asks nothing now.
        activate(main_win)
        keys("alt+F4")
        def ended():
            if visible("Kontrollabfrage"):
                fail("closing asked about an unsaved picture after the save")
            if visible("^Öffnen mit$"):
                fail('"Nein" opened the file all the same (the chooser appeared)')
            return app.poll() is not None

        if not wait_until(ended, 10):
            fail("the program did not end on closing")
        opened = subprocess.run(["pgrep", "-f", path], capture_output=True, text=True).stdout
        if opened.strip():
            fail('"Nein" opened the file all the same: ' + opened)
        print("PASS: saved %s at quality 40 with the screen's pixels; closing asked nothing"
              % path)
        return 0
    finally:
        stop_all(procs)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
