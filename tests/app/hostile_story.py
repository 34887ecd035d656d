#!/usr/bin/env python3
"""Hostile picture files given on the real program's command line.

Program runs, each started with one file: a GIF whose header claims 65535 x 65535
pixels, and a PNG cut off in the middle of its data. Each time the German refusal
comes up (the "zu gross" box; the loader's text in the info box), OK closes it, and
the program still runs with its main window, its peak resident set (VmHWM) under
400 MB.

The decoder process: with a metafile of five million lines given at start, it runs
under its seccomp filter; killed, it costs the info box's German message. Run again
with a time-out lowered to 300 ms, the time-out's message comes up. Opened, that
metafile and an EMF leave no metafile library mapped in the program.

Every step waits for what it can observe instead of sleeping.

Usage: hostile_story.py PATH/TO/kamsulo   (on a display, e.g. under with-display)
Exit status 0 passed, 1 failed (a missing tool or display fails too).
"""
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from e2e import (SYSTEM_PYTHON, check_setup, clipboard, fail, run,  # noqa: E402
                 sandbox_home, under_address_sanitizer, visible, wait_for)
from open_story import INFO_TITLE, TOO_LARGE_TEXT, Story, noise  # noqa: E402

PEAK_BOUND_KB = 400 * 1024
HERE = os.path.dirname(os.path.abspath(__file__))
DECODER_FAILED = "Das Bild konnte nicht gelesen werden: der Bildleser wurde abgebrochen."
TIMED_OUT = "Das Laden des Bildes hat zu lange gedauert und wurde abgebrochen."
METAFILE_LIBRARIES = ("libwmf", "libemf2svg", "libuemf")
BROKEN_TEXT = "Bitmap kann nicht aus Bild-Datei erstellt werden"
BROKEN_STATUS = "unbekanntes Bildformat"


def peak_kb(pid):
    """The process's peak resident set from /proc, in kB."""
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    fail("no VmHWM in /proc/%d/status" % pid)


def decoder_of(pid):
    """The decoder process the program runs, or None."""
    out = run("pgrep", "-P", str(pid), "-x", "kamsulo-decode").split()
    return int(out[0]) if out else None


def seccomp_mode(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            return next((l.split()[1] for l in f if l.startswith("Seccomp:")), None)
    except OSError:
        return None


def check_no_metafile_library(story, name):
    with open("/proc/%d/maps" % story.app.pid) as f:
        mapped = [lib for lib in METAFILE_LIBRARIES if lib in f.read()]
    if mapped:
        fail("the program mapped %s after opening %s" % (", ".join(mapped), name))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    check_setup(binary, ("xdotool", "xclip", "xwininfo", "xprop", "pgrep"),
                ("numpy", "PIL.Image", "PIL.ImageGrab"))
    import numpy as np
    from PIL import Image

    root = tempfile.mkdtemp(prefix="kamsulo-hostile-e2e.")
    story = None
    try:
        env, _ = sandbox_home(root, "Desktop")
        huge = os.path.join(root, "riesig.gif")
        with open(huge, "wb") as f:  # a two-colour screen and frame, one pixel's data
            f.write(b"GIF89a" + struct.pack("<HHBBB", 65535, 65535, 0x80, 0, 0) + bytes(6)
                    + b"," + struct.pack("<HHHHB", 0, 0, 65535, 65535, 0)
                    + bytes([2, 2, 0x44, 1, 0]) + b";")
        broken = os.path.join(root, "kaputt.png")
        Image.fromarray(noise(np, 160, 120, 4)).save(broken)
        with open(broken, "r+b") as f:
            f.truncate(os.path.getsize(broken) // 2)

        for path, title, text, status in ((huge, "kamsulo", TOO_LARGE_TEXT, None),
                                          (broken, INFO_TITLE, BROKEN_TEXT, BROKEN_STATUS)):
            name = os.path.basename(path)
            story = Story(binary, env, root, np)
            story.start(path)
            story.answer_refusal(title, text)
            if status and status not in clipboard():
                fail('the box for %s does not say "%s"' % (name, status))
            if story.app.poll() is not None or story.main not in visible("^Kamsulo $"):
                fail("the program did not survive " + name)
            peak = peak_kb(story.app.pid)
            if peak >= PEAK_BOUND_KB and not under_address_sanitizer(binary):
                fail("the program's peak resident set reached %d MB for %s"
                     % (peak // 1024, name))
            story.stop()

        subprocess.run([SYSTEM_PYTHON, os.path.join(HERE, "..", "imaging", "load",
                                                    "make_slow_samples.py"), root], check=True)
        subprocess.run([SYSTEM_PYTHON, os.path.join(HERE, "..", "imaging", "load",
                                                    "make_samples.py"), root], check=True,
                       stdout=subprocess.DEVNULL)
        slow = os.path.join(root, "slow.wmf")
        story = Story(binary, env, root, np)
        story.start(slow)
        decoder = wait_for(lambda: decoder_of(story.app.pid), "no decoder process for slow.wmf")
        wait_for(lambda: seccomp_mode(decoder) == "2", "the decoder runs without its filter")
        os.kill(decoder, signal.SIGKILL)
        story.answer_refusal(INFO_TITLE, DECODER_FAILED)
        check_no_metafile_library(story, "slow.wmf")
        story.stop()

        emf = os.path.join(root, "picture.emf")
        for path, limit in ((slow, "300"), (emf, None)):
            story = Story(binary, dict(env, KAMSULO_DECODE_TIMEOUT_MS=limit) if limit else env,
                          root, np)
            story.start(path)
            if limit:
                story.answer_refusal(INFO_TITLE, TIMED_OUT)
            else:
                with open(emf + ".rgb", "rb") as f:
                    story.shows(np.frombuffer(f.read(), np.uint8).reshape(23, 37, 3), "the EMF")
            if story.app.poll() is not None or story.main not in visible("^Kamsulo $"):
                fail("the program did not survive " + os.path.basename(path))
            check_no_metafile_library(story, os.path.basename(path))
            story.stop()
        print("PASS: a huge GIF and a broken PNG given at start were refused in German, "
              "and the program ran on within 400 MB; a killed and a slow decoder each "
              "cost a German message; no metafile library in the program")
        return 0
    finally:
        if story:
            story.stop()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
