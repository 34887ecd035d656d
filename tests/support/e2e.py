"""Helpers shared by the end-to-end scripts that drive the real program on an X display
with xdotool: running tools, polling for what the display shows, windows, the pointer,
keys, the clipboard, and setting up and tearing down a run.

Nothing here sleeps for a fixed time: every wait polls for something observable.
"""
import os
import shutil
import subprocess
import sys
import time

TPP = 15  # twips per pixel at 96 dpi
POLL = 0.05  # seconds between two looks at the display
TIMEOUT = 20.0  # seconds for anything the program shows; the machine may be busy
SYSTEM_PYTHON = "/usr/bin/python3"  # the Python of the Debian packages


def fail(reason):
    print("FAIL: " + reason)
    raise SystemExit(1)


def run(*cmd):
    """The standard output of a command."""
    return subprocess.run(cmd, capture_output=True, text=True, timeout=30).stdout


def xdo(*args):
    return run("xdotool", *args)


def wait_until(condition, timeout=TIMEOUT):
    """Polls `condition` until it returns something true; None after `timeout`."""
    deadline = time.time() + timeout
    while True:
        result = condition()
        if result or time.time() >= deadline:
            return result or None
        time.sleep(POLL)


def wait_for(condition, what, timeout=TIMEOUT):
    """Like wait_until, but fails the test with `what` after `timeout` seconds."""
    result = wait_until(condition, timeout)
    if not result:
        fail("%s (waited %g s)" % (what, timeout))
    return result


def check_setup(binary, tools, modules):
    """Fails unless the program is built, a display with a window manager is there and
    the tools and Python modules are installed; without the modules, runs the script
    again under the system's Python, which has the Debian packages."""
    if not os.path.exists(binary):
        fail("the program is not built: " + binary)
    if not os.environ.get("DISPLAY"):
        fail("no display; run it under scripts/with-display")
    for tool in tools:
        if not shutil.which(tool):
            fail(tool + " is not installed")
    try:
        for module in modules:
            __import__(module)
    except ImportError as e:
        if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and \
                os.path.exists(SYSTEM_PYTHON):
            os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON, *sys.argv])
        fail("a Python package is missing: %s" % e)
    # The title bars, the activation and alt+F4 are the window manager's.
    if not wait_until(lambda: "window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")):
        fail("no window manager runs on display " + os.environ["DISPLAY"])


def stop(proc):
    """Ends a process that still runs: politely first, then by force."""
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(5)


def stop_all(procs):
    for proc in reversed(procs):
        stop(proc)


def sandbox_home(root, desktop):
    """A private home under `root` whose desktop folder is $HOME/`desktop`; returns the
    environment for the program and the desktop folder."""
    home = os.path.join(root, "home")
    os.makedirs(os.path.join(home, desktop))
    os.makedirs(os.path.join(home, ".config"))
    with open(os.path.join(home, ".config", "user-dirs.dirs"), "w") as f:
        f.write('XDG_DESKTOP_DIR="$HOME/%s"\n' % desktop)
    env = dict(os.environ)
    env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    return env, os.path.join(home, desktop)


# --- Windows, pointer, keys ------------------------------------------------------------

def visible(pattern):
    return xdo("search", "--onlyvisible", "--name", pattern).split()


def activate(win):
    xdo("windowactivate", "--sync", win)


def window_rect(win):
    """The window's client area on the screen: x, y, width, height."""
    values = {}
    for line in run("xwininfo", "-id", win).splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    return tuple(int(values[k]) for k in
                 ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def move(x, y):
    """Moves the pointer and waits until it is there (--sync alone would wait for a
    move that never comes when it is there already)."""
    if not xdo("getmouselocation").startswith("x:%d y:%d " % (x, y)):
        xdo("mousemove", "--sync", str(x), str(y))


def keys(*names):
    xdo("key", "--clearmodifiers", *names)


def grab_screen():
    from PIL import ImageGrab
    return ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB")


# --- Clipboard -------------------------------------------------------------------------

def clipboard():
    return subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                          text=True, timeout=10).stdout


def copy_box_text(win, expected, timeout=TIMEOUT):
    """The text of a message box: a click into its (selectable) text, then select all
    and copy to the clipboard; waits until the clipboard holds `expected`, and returns
    what it holds then."""
    activate(win)
    x, y, width, _ = window_rect(win)
    move(x + width * 2 // 3, y + 22)
    xdo("click", "1")
    keys("ctrl+a", "ctrl+c")
    wait_until(lambda: expected in clipboard(), timeout)
    return clipboard()


def under_address_sanitizer(binary):
    """True when `binary` was built with AddressSanitizer, whose shadow memory and
    quarantine swell the resident set far beyond what the program itself takes."""
    with open(binary, "rb") as f:
        while chunk := f.read(1 << 24):
            if b"__asan_init" in chunk:
                return True
    return False
