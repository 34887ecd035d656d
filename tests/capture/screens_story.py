#!/usr/bin/env python3
"""Screen and Region on the monitors and the scale that the display was started with
(scripts/with-display: KAMSULO_SCREEN, KAMSULO_MONITORS, KAMSULO_DPI).

The desktop shows a picture whose every pixel encodes its own position, so that each
check is one comparison:
1. the main window comes up centred on the primary monitor, at the 96-dpi size times
   the device pixel ratio;
2. Screen takes exactly the primary monitor, and the canvas shows it one picture pixel
   per device pixel;
3. Region covers every monitor: a drag from one monitor to the other (on one monitor:
   across it) crops exactly the desktop pixels inside the outline, black where no
   monitor is;
4. after each, the caption names the picture pixel shown under the pointer.
The pictures are read back through ClipBoard.

Usage: screens_story.py PATH/TO/kamsulo   (under scripts/with-display)
"""
import io
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (TPP, check_setup, fail, grab_screen, move, run, stop, wait_for,  # noqa: E402
                 wait_until, window_rect, xdo)

# The client area at 96 dpi with openbox's frame, and the places of the row's buttons.
CLIENT_96 = (581, 342)
BUTTON_LEFTS = {"Region": 180, "Screen": 1095, "ClipBoard": 2940}
VIEWPORT = (120, 1020)  # twips
VIEWPORT_SIZE = (8235, 3345)


def half_up(v):
    """Rounded as Qt rounds a scaled size."""
    return int(v + 0.5)


def encoded(width, height):
    """The desktop picture: red and blue the low bytes of x and y, green their high bits."""
    import numpy as np
    y, x = np.mgrid[0:height, 0:width]
    return np.dstack([x & 255, (x >> 8) | ((y >> 8) << 5), y & 255]).astype(np.uint8)


def decode(pixels):
    """Positions (x, y) that the pixels of the desktop picture encode."""
    p = pixels.astype(int)
    return p[..., 0] | ((p[..., 1] & 31) << 8), p[..., 2] | ((p[..., 1] >> 5) << 8)


def monitors():
    """(name, x, y, w, h, primary) of each RandR monitor."""
    result = []
    for line in run("xrandr", "--listmonitors").splitlines()[1:]:
        parts = line.split()
        name = parts[1].lstrip("+")
        w, rest = parts[2].split("/", 1)
        h = rest.split("x", 1)[1].split("/", 1)[0]
        x, y = rest.split("+")[1:3]
        result.append((name.lstrip("*"), int(x), int(y), int(w), int(h), name.startswith("*")))
    return result


def clipboard_picture():
    import numpy as np
    from PIL import Image
    data = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "image/png"],
                          capture_output=True, timeout=10).stdout
    return [np.asarray(Image.open(io.BytesIO(data)).convert("RGB"))] if data else None


def frame_extents(win):
    out = run("xprop", "-id", win, "_NET_FRAME_EXTENTS")
    if "=" not in out:
        return None
    return [int(v) for v in out.split("=")[1].split(",")]


def main():
    binary = sys.argv[1]
    check_setup(binary, ["xdotool", "xclip", "xrandr", "display"], ["numpy", "PIL"])
    import numpy as np
    from PIL import Image

    dpi = int(os.environ.get("KAMSULO_DPI") or 96)
    ratio = dpi / 96
    screens = monitors()
    width, height = map(int, run("xdpyinfo").split("dimensions:")[1].split()[0].split("x"))
    primary = next(m for m in screens if m[5]) if any(m[5] for m in screens) else screens[0]
    _, px, py, pw, ph, _ = primary

    tmp = tempfile.mkdtemp(prefix="kamsulo-screens.")
    desktop = encoded(width, height)
    Image.fromarray(desktop).save(os.path.join(tmp, "desktop.png"))
    subprocess.run(["display", "-window", "root", os.path.join(tmp, "desktop.png")])
    wait_for(lambda: (np.asarray(grab_screen())[:64, :64] == desktop[:64, :64]).all(),
             "the desktop does not show its picture")

    # Where a monitor shows the desktop; the gaps between monitors give black.
    shown = np.zeros((height, width), bool)
    for _, x, y, w, h, _ in screens:
        shown[y:y + h, x:x + w] = True

    env = dict(os.environ, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    app = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    try:
        ids = wait_for(lambda: xdo("search", "--onlyvisible", "--pid", str(app.pid),
                                   "--name", "^Kamsulo $").split(), "no main window")
        win = ids[0]
        wait_for(lambda: frame_extents(win), "the window manager frames no window")

        def placed():
            """The client size and the outer rectangle's centre."""
            x, y, w, h = window_rect(win)
            left, right, top, bottom = frame_extents(win)
            return (w, h), (x - left + (w + left + right) / 2, y - top + (h + top + bottom) / 2)

        def on_primary(centre):
            return abs(centre[0] - (px + pw / 2)) <= 1 and abs(centre[1] - (py + ph / 2)) <= 1

        def centred():
            p = placed()
            return p if on_primary(p[1]) else None
        # The window is mapped centred by its client size; the frame's extents come after
        # that, and then the window is centred once more by its outer size.
        size, centre = wait_until(centred) or placed()
        want = (half_up(CLIENT_96[0] * ratio), half_up(CLIENT_96[1] * ratio))
        if size != want:
            fail("the client area is %dx%d, not the 96-dpi layout scaled: %dx%d" % (*size, *want))
        if not on_primary(centre):
            fail("the window is centred at %g,%g, not on the primary monitor %s" %
                 (*centre, primary))

        def press(button):
            xdo("windowactivate", "--sync", win)
            rx, ry, _, _ = window_rect(win)
            bx = rx + round((BUTTON_LEFTS[button] + 450) / TPP * ratio)
            by = ry + round(470 / TPP * ratio)
            # The button is on the screen, not the desktop or its frozen copy.
            wait_for(lambda: (np.asarray(grab_screen())[by, bx] != desktop[by, bx]).any(),
                     "the main window does not show its buttons")
            move(bx, by)
            xdo("click", "1")

        def take_clipboard(what):
            subprocess.run(["xclip", "-selection", "clipboard", "-i", "/dev/null"])
            press("ClipBoard")
            return wait_for(clipboard_picture, what + ": nothing on the clipboard")[0]

        def back():
            wait_for(lambda: "IsViewable" in run("xwininfo", "-id", win),
                     "the main window did not come back")

        # Screen: exactly the primary monitor, shown one to one.
        press("Screen")
        wait_for(lambda: "IsViewable" not in run("xwininfo", "-id", win), "Screen did nothing")
        back()
        picture = take_clipboard("Screen")
        if picture.shape[:2] != (ph, pw) or (picture != desktop[py:py + ph, px:px + pw]).any():
            fail("Screen gave %s, not the primary monitor %dx%d+%d+%d" %
                 (picture.shape[1::-1], pw, ph, px, py))
        vx, vy = round(VIEWPORT[0] / TPP * ratio), round(VIEWPORT[1] / TPP * ratio)

        def canvas_sharp():
            x0, y0, _, _ = window_rect(win)
            shot = np.asarray(grab_screen())[y0 + vy:y0 + vy + 100, x0 + vx:x0 + vx + 200]
            return (shot == desktop[py:py + 100, px:px + 200]).all()
        wait_for(canvas_sharp, "the canvas does not show the picture one pixel per device pixel")

        def pointer_on_canvas(origin, what):
            """The caption names the picture pixel shown under the pointer, at each of
            three device pixels in a row around the viewport's middle."""
            x0, y0, _, _ = window_rect(win)
            mx = x0 + vx + round(VIEWPORT_SIZE[0] / TPP * ratio / 2)
            my = y0 + vy + round(VIEWPORT_SIZE[1] / TPP * ratio / 2)
            xs, ys = decode(np.asarray(grab_screen())[my:my + 3, mx:mx + 3])
            for d in range(3):
                move(mx + d, my + d)
                want = "Kamsulo   X=%d  :  Y=%d" % (xs[d, d] - origin[0], ys[d, d] - origin[1])
                if not wait_until(lambda: xdo("getwindowname", win).strip() == want):
                    fail("%s: at %d,%d the caption is '%s', not '%s'" %
                         (what, mx + d, my + d, xdo("getwindowname", win).strip(), want))
        pointer_on_canvas((px, py), "Screen")

        # Region: over every monitor; the drag crosses from the left monitor (or the
        # left half) to the primary one, down into a gap where there is one.
        press("Region")
        wait_for(lambda: "IsViewable" not in run("xwininfo", "-id", win), "Region did nothing")
        wait_for(lambda: len([w for w in xdo("search", "--onlyvisible", "--class",
                                             "kamsulo").split() if w != win])
                 >= len(screens), "the overlay does not cover every monitor")
        if len(screens) > 1:
            ax, ay, bx, by = px - 301, py + ph // 2 - 203, px + 157, py + ph + 41
        else:
            # 457 device pixels wide: centred at an odd logical position at 1.5, so that
            # the canvas starts between two device pixels.
            ax, ay, bx, by = pw // 2 - 301, ph // 2 - 203, pw // 2 + 157, ph // 2 + 141
        move(ax, ay)
        # In one go: the program reads the press with the moves behind it, and each
        # event must count where it happened, not where the pointer is by then.
        xdo("mousedown", "1", "mousemove", str((ax + bx) // 2), str((ay + by) // 2),
            "mousemove", str(bx), str(by), "mouseup", "1")
        back()
        picture = take_clipboard("Region")
        # The inside of the outline: the pixel after the press, up to the release.
        want = desktop[ay + 1:by, ax + 1:bx] * shown[ay + 1:by, ax + 1:bx, None]
        if picture.shape != want.shape or (picture != want).any():
            got = decode(picture[:1, :1])
            fail("Region from %d,%d to %d,%d gave %s from %d,%d, not %s from %d,%d" %
                 (ax, ay, bx, by, picture.shape[1::-1], got[0][0, 0], got[1][0, 0],
                  want.shape[1::-1], ax + 1, ay + 1))
        pointer_on_canvas((ax + 1, ay + 1), "Region")
    finally:
        stop(app)
    print("screens story passed")


if __name__ == "__main__":
    main()
