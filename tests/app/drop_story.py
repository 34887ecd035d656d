#!/usr/bin/env python3
"""Pictures dropped onto the real program from another program: a picture file opens
as Open would, a second drop of picture data asks about the unsaved picture first and
then shows it, and a text file is refused by the drag itself. What the canvas shows is
read back through the ClipBoard shortcut.

Usage: drop_story.py PATH/TO/kamsulo PATH/TO/drag_source   (under scripts/with-display)
"""
import io
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (activate, check_setup, fail, keys, move, run, sandbox_home,  # noqa: E402
                 stop_all, visible, wait_for, window_rect, xdo)

GUARD_TITLE = "^Pixtorel - Kontrollabfrage$"


def centre(win):
    x, y, w, h = window_rect(win)
    return x + w // 2, y + h // 2


def drop(source_binary, kind, path, target, procs):
    """Drags from a new source window onto the target; returns the source, which says
    how the drop ended on its first line."""
    src = subprocess.Popen([source_binary, kind, path], stdout=subprocess.PIPE, text=True)
    procs.append(src)
    win = wait_for(lambda: xdo("search", "--onlyvisible", "--pid", str(src.pid)).split(),
                   "the drag source did not appear")[-1]
    activate(win)
    move(*centre(win))
    xdo("mousedown", "1")
    tx, ty = centre(target)
    for step in range(1, 9):  # a drag is a run of moves, not one jump
        sx, sy = centre(win)
        move(sx + (tx - sx) * step // 8, sy + (ty - sy) * step // 8)
    xdo("mouseup", "1")
    return src


def shown_picture(main):
    """The canvas picture, through the ClipBoard shortcut."""
    from PIL import Image
    subprocess.run(["xclip", "-selection", "clipboard", "-i", "/dev/null"], timeout=10)
    activate(main)
    keys("ctrl+c")

    def read():
        out = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", "image/png"],
                             capture_output=True, timeout=10).stdout
        return Image.open(io.BytesIO(out)).convert("RGB") if out.startswith(b"\x89PNG") else None

    return wait_for(read, "the shortcut put no picture on the clipboard")


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    binary, source = map(os.path.abspath, sys.argv[1:])
    check_setup(binary, ("xdotool", "xclip"), ("PIL",))
    from PIL import Image
    root = tempfile.mkdtemp(prefix="kamsulo-drop.")
    procs = []
    try:
        env, _ = sandbox_home(root, "Desktop")
        first, second = (os.path.join(root, n) for n in ("first.png", "second.png"))
        Image.new("RGB", (90, 60), (200, 30, 40)).save(first)
        Image.new("RGB", (70, 50), (20, 90, 220)).save(second)
        text = os.path.join(root, "notes.txt")
        open(text, "w").write("no picture")
        app = subprocess.Popen([binary], env=env)
        procs.append(app)
        main = wait_for(lambda: xdo("search", "--onlyvisible", "--pid", str(app.pid), "--name",
                                    "^Kamsulo $").split(), "the main window did not appear")[-1]

        if drop(source, "--file", text, main, procs).stdout.readline().strip() != "refused":
            fail("the text file was not refused by the drag")
        src = drop(source, "--file", first, main, procs)
        if src.stdout.readline().strip() != "accepted":
            fail("the picture file was refused")
        if shown_picture(main).tobytes() != Image.open(first).tobytes():
            fail("the dropped file is not on the canvas")

        src = drop(source, "--picture", second, main, procs)
        box = wait_for(lambda: visible(GUARD_TITLE), "the unsaved picture was not asked about")
        activate(box[0])
        keys("alt+n")
        if src.stdout.readline().strip() != "accepted":
            fail("the picture data was refused")
        if shown_picture(main).tobytes() != Image.open(second).tobytes():
            fail("the dropped picture data is not on the canvas")
        print("PASS: a picture file and picture data dropped open, the guard asks first, a "
              "text file is refused by the drag")
        return 0
    finally:
        stop_all(procs)
        run("rm", "-rf", root)


if __name__ == "__main__":
    sys.exit(main())
