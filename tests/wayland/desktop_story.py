#!/usr/bin/env python3
"""The program on a headless KDE Plasma or GNOME (scripts/with-wayland --desktop kde or
gnome), through its command line, beside a native window of one colour. Neither
compositor takes input here, so nothing is clicked:
- the portal refusing gives the German message: on GNOME a denial stored in the
  permission store, which the message's command lifts; on KDE the desktop's failure
  (it cannot write into ~/Pictures), without that command;
- `kamsulo --screen --output FILE` holds the window (on KDE first through the portal, as
  KWin does not yet authorise the program, and says so; then through KWin, once a
  desktop entry made from the program's own allows it);
- on KDE, `kamsulo --window --output FILE` gives exactly the window's pixels as the
  screen shows them, title bar included;
- on GNOME, when nobody answers the portal's permission question, the program stops
  waiting after its time-out of 30 s and closes its request. (The portal here,
  xdg-desktop-portal 1.16, does not pass that Close on to the question, which stays.)
Every step polls for what it can observe.

Usage: with-wayland --desktop DESKTOP desktop_story.py KAMSULO COLOR_WINDOW ENTRY_TEMPLATE
(ENTRY_TEMPLATE: data/kamsulo.desktop.in)
Exit status 0 passed, 1 failed.
"""
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time

import numpy
from PIL import Image

from story_steps import TIMEOUT, fail, wait_for

COLOR = (0xFF, 0x88, 0x00)
SIZE = (400, 300)  # the colour window's content
NOT_AUTHORIZED = "KWin erlaubt diesem Programm keine direkten Bildschirmfotos"
DENIED = "Die Arbeitsumgebung hat das Bildschirmfoto nicht erlaubt."
FAILED = "kamsulo: Die Arbeitsumgebung konnte das Bildschirmfoto nicht aufnehmen.\n"
NO_ANSWER = "Die Arbeitsumgebung hat nicht rechtzeitig geantwortet."
CLOSE = re.compile(r"path=/org/freedesktop/portal/desktop/request/\S+/kamsulo\d+; "
                   r"interface=org.freedesktop.portal.Request; member=Close")


def permission(answer):
    """Stores the answer to the portal's screenshot question for programs outside a
    sandbox; None forgets it, so that the portal asks."""
    call = ["SetPermission", "screenshot", "true", "screenshot", "", "['%s']" % answer]
    if answer is None:
        call = ["DeletePermission", "screenshot", "screenshot", ""]
    subprocess.run(["gdbus", "call", "--session", "--dest",
                    "org.freedesktop.impl.portal.PermissionStore", "--object-path",
                    "/org/freedesktop/impl/portal/PermissionStore", "--method",
                    "org.freedesktop.impl.portal.PermissionStore." + call[0], *call[1:]],
                   check=True, capture_output=True, timeout=30)


class Program:
    def __init__(self, binary, folder):
        self.binary, self.folder = binary, folder

    def capture(self, mode):
        """(picture or None, stderr) of `kamsulo --MODE --output FILE`."""
        out = os.path.join(self.folder, mode + ".png")
        if os.path.exists(out):
            os.remove(out)
        env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
        done = subprocess.run([self.binary, "--" + mode, "--output", out], env=env,
                              capture_output=True, text=True, timeout=TIMEOUT)
        picture = None
        if done.returncode == 0:
            picture = numpy.asarray(Image.open(out).convert("RGB")).astype(int)
        return picture, done.stderr


def color_box(picture):
    ys, xs = numpy.nonzero(numpy.all(picture == COLOR, axis=2))
    if not len(xs):
        return None
    return (int(xs.min()), int(ys.min()), int(xs.max() - xs.min() + 1),
            int(ys.max() - ys.min() + 1))


def shows_window(picture):
    box = color_box(picture) if picture is not None else None
    return box if box and box[2:] == SIZE else None


def main():
    if len(sys.argv) != 4 or os.environ.get("KAMSULO_DESKTOP") not in ("kde", "gnome"):
        fail("usage: with-wayland --desktop kde|gnome desktop_story.py KAMSULO COLOR_WINDOW "
             "DESKTOP_ENTRY")
    binary, color_window, entry = sys.argv[1:]
    kde = os.environ["KAMSULO_DESKTOP"] == "kde"
    folder = tempfile.mkdtemp()
    program = Program(os.path.realpath(binary), folder)
    window = subprocess.Popen([color_window, "#%02x%02x%02x" % COLOR])
    try:
        # The portal refusing: GNOME's keeps a stored "no" in the permission store, and
        # the German message's command allows it again; KDE's portal asks no such
        # question and refuses when it cannot write into ~/Pictures.
        pictures = os.path.join(os.environ["HOME"], "Pictures")
        if kde:
            os.rename(pictures, pictures + ".away")
        else:
            permission("no")
        picture, said = program.capture("screen")
        if kde:
            if picture is not None or not said.endswith(FAILED) or \
                    said.count(NOT_AUTHORIZED) != 1 or said.count("\n") != 2:
                fail("not KWin's refusal once and the portal's failure on stderr: " + said)
            os.rename(pictures + ".away", pictures)
        else:
            if picture is not None or DENIED not in said:
                fail("the portal's denial did not give the message: " + said)
            allow = next((line for line in said.splitlines() if line.startswith("gdbus call")),
                         "")
            subprocess.run(shlex.split(allow), check=True, capture_output=True, timeout=30)

        # Screen holds the window: through the portal, and on KDE then through KWin.
        attempt = {}

        def screen_shows_window():
            attempt["picture"], attempt["said"] = program.capture("screen")
            return shows_window(attempt["picture"])
        wait_for(screen_shows_window, "--screen does not hold the colour window")
        if not kde:
            # The permission question unanswered: after its time-out the program closes
            # its request. Last, as the question stays on the screen.
            permission(None)
            with tempfile.TemporaryFile("w+") as seen:
                monitor = subprocess.Popen(
                    ["dbus-monitor", "--session", "type='method_call',"
                     "interface='org.freedesktop.portal.Request',member='Close'"],
                    stdout=seen, stderr=subprocess.DEVNULL)
                try:
                    picture, said = program.capture("screen")
                    if picture is not None or NO_ANSWER not in said:
                        fail("an unanswered question did not give the message: " + said)

                    def closed():
                        seen.seek(0)
                        return CLOSE.search(seen.read())
                    wait_for(closed, "the program did not close its request")
                finally:
                    monitor.terminate()
                    monitor.wait(10)
            print("desktop story passed on GNOME")
            return
        if NOT_AUTHORIZED not in attempt["said"]:
            fail("no word on stderr that KWin refused: " + attempt["said"])

        # Authorised by the program's own desktop entry, made from its template with the
        # binary under test in the Exec lines, as an install names the installed path.
        applications = os.path.join(os.environ["HOME"], ".local", "share", "applications")
        os.makedirs(applications, exist_ok=True)
        with open(entry) as template:
            text = template.read()
        with open(os.path.join(applications, "kamsulo.desktop"), "w") as made:
            made.write(re.sub(r"(?m)^Exec=\S+", "Exec=" + program.binary, text))
        subprocess.run(["kbuildsycoca5"], capture_output=True, timeout=60)
        wait_for(lambda: screen_shows_window() and NOT_AUTHORIZED not in attempt["said"],
                 "KWin does not authorise the program through its desktop entry")
        screen = attempt["picture"]

        # Fenster: the active window as KWin gives it, exactly as the screen shows it.
        shot, said = program.capture("window")
        if shot is None:
            fail("--window gave no picture: " + said)
        inner = color_box(shot)
        if not inner or inner[2:] != SIZE or shot.shape[0] <= SIZE[1]:
            fail("--window is not the colour window with its title bar: %s" % (inner,))
        x, y = (a - b for a, b in zip(shows_window(screen)[:2], inner[:2]))
        height, width = shot.shape[:2]
        if x < 0 or y < 0 or not numpy.array_equal(screen[y:y + height, x:x + width], shot):
            fail("--window differs from the window's pixels on the screen")
        print("desktop story passed on KDE Plasma")
    finally:
        window.terminate()
        window.wait(10)


if __name__ == "__main__":
    main()
