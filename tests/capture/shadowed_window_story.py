#!/usr/bin/env python3
"""Fenster of a window that draws its own title bar and a shadow around it, under a
compositing window manager (scripts/with-display with KAMSULO_WM=xfwm4).

gtk3-demo keeps invisible margins for its shadow inside its window and names them in
_GTK_FRAME_EXTENTS. `kamsulo --window --output` must write the window as it is seen:
1. in the middle of the screen, without the margins;
2. partly off the right edge, only the part on the screen (no black columns).
Each time the file holds exactly the screen's pixels there.

Usage: shadowed_window_story.py PATH/TO/kamsulo   (under scripts/with-display)
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import check_setup, fail, grab_screen, run, stop, wait_for, window_rect, xdo  # noqa: E402


def widths(win, prop):
    """The four widths of a window property as left, top, right, bottom; None unset."""
    out = run("xprop", "-id", win, prop)
    if "=" not in out:
        return None
    left, right, top, bottom = (int(v) for v in out.split("=")[1].split(","))
    return left, top, right, bottom


def main():
    binary = sys.argv[1]
    check_setup(binary, ["xdotool", "xprop", "xwininfo", "gtk3-demo"], ["numpy", "PIL"])
    import numpy as np
    from PIL import Image

    screen_w, screen_h = map(int, run("xdpyinfo").split("dimensions:")[1].split()[0].split("x"))
    tmp = tempfile.TemporaryDirectory(prefix="kamsulo-shadow.")
    env = dict(os.environ, GDK_BACKEND="x11", NO_AT_BRIDGE="1")
    demo = subprocess.Popen(["gtk3-demo"], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        win = wait_for(lambda: xdo("search", "--onlyvisible", "--pid", str(demo.pid)).split(),
                       "gtk3-demo shows no window")[0]
        # GTK keeps shadow margins only while a compositor runs.
        shadow = wait_for(lambda: widths(win, "_GTK_FRAME_EXTENTS"),
                          "gtk3-demo keeps no shadow margins: is the compositor on?")
        frame = wait_for(lambda: widths(win, "_NET_FRAME_EXTENTS"),
                         "the window manager gives no frame extents")

        def fenster(client_x, client_y, what):
            xdo("windowmove", "--sync", win, str(client_x), str(client_y))
            xdo("windowactivate", "--sync", win)
            wait_for(lambda: int(run("xprop", "-root", "_NET_ACTIVE_WINDOW")
                                 .split("#")[1].split(",")[0], 16) == int(win),
                     what + ": gtk3-demo is not the active window")
            x, y, w, h = window_rect(win)
            left = x - frame[0] + shadow[0]
            top = y - frame[1] + shadow[1]
            right = min(x + w + frame[2] - shadow[2], screen_w)
            bottom = min(y + h + frame[3] - shadow[3], screen_h)
            out = os.path.join(tmp.name, "fenster.png")
            result = subprocess.run([binary, "--window", "--output", out],
                                    env=dict(os.environ, LC_ALL="C.UTF-8"), timeout=60)
            if result.returncode != 0:
                fail("%s: --window --output ended with %d" % (what, result.returncode))
            picture = np.asarray(Image.open(out).convert("RGB"))
            want = np.asarray(grab_screen())[top:bottom, left:right]
            if picture.shape != want.shape:
                fail("%s: the picture is %dx%d, not the window as seen, %dx%d at %d,%d" %
                     (what, picture.shape[1], picture.shape[0], right - left, bottom - top,
                      left, top))
            if (picture != want).any():
                fail("%s: the picture is not the screen at %d,%d" % (what, left, top))
            return right - left

        fenster(400, 200, "in the middle")
        shown = fenster(screen_w - 320, 200, "partly off the screen")
        if shown >= 320:
            fail("the window manager kept the window on the screen")
    finally:
        stop(demo)
        tmp.cleanup()
    print("shadowed window story passed")


if __name__ == "__main__":
    main()
