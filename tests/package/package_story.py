#!/usr/bin/env python3
"""Installing Kamsulo: with `cmake --install --prefix`, and as the Debian package.

1. `cmake --install BUILD --prefix DIR`, DIR a temporary prefix with a blank in its
   name: GIO loads the desktop entry, whose Exec lines (main and actions) name DIR's
   kamsulo.
2. `scripts/package --from BUILD`: lintian finds neither error nor warning, and no
   maintainer script or configuration file keeps anything back on removal. Unpacked
   with dpkg-deb -x, the package holds exactly the files of the layout under /usr; every
   Exec line names /usr/bin/kamsulo; the desktop entry and the AppStream data validate,
   and the two list the same mime types; the manual page's name, synopsis, options and
   their meanings are the --help text's; the package, its changelog, AppStream data and
   manual page name the version that `kamsulo --version` says.
3. The unpacked kamsulo on the display: --screen --output writes the screen, and a
   picture given at start shows on the canvas, decoded by the decoder that the program
   finds in the unpacked /usr/libexec/kamsulo/ (nothing else names one).

Usage: package_story.py BUILD_DIR   (on a display, e.g. under scripts/with-display)
Exit status 0 passed, 1 failed.
"""
import gzip
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from e2e import (check_setup, fail, grab_screen, sandbox_home, stop,  # noqa: E402
                 wait_for)

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
LAYOUT = {
    "usr/bin/kamsulo",
    "usr/libexec/kamsulo/kamsulo-decode",
    "usr/share/applications/kamsulo.desktop",
    "usr/share/icons/hicolor/scalable/apps/kamsulo.svg",
    "usr/share/metainfo/de.kamsulo.kamsulo.metainfo.xml",
    "usr/share/man/man1/kamsulo.1.gz",
    "usr/share/doc/kamsulo/copyright",
    "usr/share/doc/kamsulo/changelog.gz",
} | {"usr/share/icons/hicolor/%dx%d/apps/kamsulo.png" % (s, s) for s in ICON_SIZES}
# The entry's groups and the arguments their Exec passes after the program.
COMMANDS = {"Desktop Entry": ["%u"], "Desktop Action region": ["--region"],
            "Desktop Action screen": ["--screen"], "Desktop Action window": ["--window"]}
MAGENTA = (255, 0, 255)


def run(*cmd, **kwargs):
    """Runs a command; fails the story with its output unless it ends with status 0."""
    done = subprocess.run(cmd, capture_output=True, text=True, timeout=240, **kwargs)
    if done.returncode != 0:
        fail("%s ended with %d:\n%s%s" % (" ".join(cmd), done.returncode, done.stdout,
                                          done.stderr))
    return done.stdout


def check_commands(entry, binary):
    """Every Exec of the entry (main and actions) is `binary` with its group's arguments."""
    from gi.repository import GLib
    keys = GLib.KeyFile()
    keys.load_from_file(entry, GLib.KeyFileFlags.NONE)
    found = {g: GLib.shell_parse_argv(keys.get_string(g, "Exec"))[1]
             for g in keys.get_groups()[0]}
    want = {g: [binary, *args] for g, args in COMMANDS.items()}
    if found != want:
        fail("the Exec lines of %s are %s, not %s" % (entry, found, want))


def roff_text(text):
    return re.sub(r"\\f[BIRP]", "", text).replace("\\-", "-").strip()


def man_sections(page):
    """The manual page's sections: name -> their lines."""
    sections, current = {}, None
    for line in page.splitlines():
        if line.startswith(".SH "):
            current = sections.setdefault(roff_text(line[4:].strip('"')), [])
        elif current is not None:
            current.append(line)
    return sections


def man_options(lines):
    """(option, meaning) of each .TP entry; its first line a font macro (.B, .I, .BI: the
    last joins its arguments without a blank)."""
    entries = []
    for line in lines:
        if line == ".TP":
            entries.append(None)
        elif entries and entries[-1] is None:
            macro, _, rest = line.partition(" ")
            args = [a or b for a, b in re.findall(r'"([^"]*)"|(\S+)', rest)]
            entries[-1] = [roff_text(("" if len(macro) == 3 else " ").join(args)), ""]
        elif entries:
            entries[-1][1] = (entries[-1][1] + " " + roff_text(line)).strip()
    return [tuple(e) for e in entries]


def help_options(text):
    """(option, meaning) of each option line of --help, continuation lines joined."""
    entries = []
    for line in text.splitlines():
        if re.match(r" {4,}\S", line) and entries:
            entries[-1][1] += " " + line.strip()
        elif m := re.match(r"  (\S.*?) {2,}(\S.*)$", line):
            entries.append([m[1], m[2]])
    return [tuple(e) for e in entries]


def check_manual(page, usage):
    sections = man_sections(page)
    lines = usage.splitlines()
    name = "kamsulo - " + lines[1].rstrip(".")
    synopsis = " ".join(roff_text(re.sub(r"^\.B ", "", s)) for s in sections["ÜBERSICHT"])
    for what, found, want in (
            ("name", roff_text(" ".join(sections["NAME"])), name),
            ("synopsis", synopsis, "kamsulo " + lines[0].removeprefix("Aufruf: kamsulo ")),
            ("options", man_options(sections["OPTIONEN"]), help_options(usage))):
        if found != want:
            fail("the manual page's %s is not --help's:\n  %s\n  %s" % (what, found, want))


def check_package(deb, root):
    """Lintian, the file list, the Exec lines, the validators, the manual page and the
    version each file names."""
    run("lintian", "--fail-on", "error,warning", deb)
    # No maintainer script and no configuration file: removing it removes every file.
    run("dpkg-deb", "-e", deb, root + ".control")
    control = set(os.listdir(root + ".control"))
    if control != {"control", "md5sums"}:
        fail("the package's control part holds more than control and md5sums: %s" % control)
    run("dpkg-deb", "-x", deb, root)
    files = {os.path.relpath(os.path.join(d, f), root)
             for d, _, names in os.walk(root) for f in names}
    if files != LAYOUT:
        fail("the package's files differ from the layout: more %s, missing %s"
             % (sorted(files - LAYOUT), sorted(LAYOUT - files)))
    from PIL import Image
    for size in ICON_SIZES:
        with Image.open(os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/kamsulo.png"
                                     % (size, size))) as icon:
            if icon.size != (size, size):
                fail("the %d-pixel icon is %s" % (size, icon.size))

    entry = os.path.join(root, "usr/share/applications/kamsulo.desktop")
    with open(entry) as f:
        text = f.read()
    # KWin compares the line itself with the calling executable.
    execs = re.findall(r"(?m)^Exec=.*$", text)
    if len(execs) != len(COMMANDS) or any(not e.startswith("Exec=/usr/bin/kamsulo ")
                                          for e in execs):
        fail("not every Exec line names /usr/bin/kamsulo: %s" % execs)
    check_commands(entry, "/usr/bin/kamsulo")
    metainfo = os.path.join(root, "usr/share/metainfo/de.kamsulo.kamsulo.metainfo.xml")
    run("desktop-file-validate", entry)
    run("appstreamcli", "validate", "--no-net", metainfo)
    with open(metainfo) as f:
        provided = set(re.findall(r"<mediatype>([^<]*)</mediatype>", f.read()))
    if provided != set(re.search(r"(?m)^MimeType=(.*);$", text)[1].split(";")):
        fail("the AppStream data's mime types are not the desktop entry's")

    binary = os.path.join(root, "usr/bin/kamsulo")
    with gzip.open(os.path.join(root, "usr/share/man/man1/kamsulo.1.gz"), "rt") as f:
        page = f.read()
    check_manual(page, run(binary, "--help"))

    with gzip.open(os.path.join(root, "usr/share/doc/kamsulo/changelog.gz"), "rt") as f:
        changelog = f.read()
    with open(metainfo) as f:
        releases = f.read()
    versions = {
        "the package": run("dpkg-deb", "-f", deb, "Version").strip(),
        "the changelog's latest entry": re.match(r"kamsulo \(([^)]*)\)", changelog)[1],
        "the AppStream data's latest release": re.search(r'<release version="([^"]*)"',
                                                         releases)[1],
        "the manual page": re.search(r'(?m)^\.TH .*"Kamsulo ([^"]*)"', page)[1],
    }
    program = run(binary, "--version").split()[-1]
    if any(v != program for v in versions.values()):
        fail("kamsulo --version says %s, but: %s" % (program, versions))


def check_unpacked_program(binary, work):
    """--screen --output, and a picture given at start on the canvas (the decoder)."""
    import numpy as np
    from PIL import Image
    env, _ = sandbox_home(work, "Desktop")
    env.pop("KAMSULO_DECODER", None)
    shot = os.path.join(work, "bildschirm.png")
    run(binary, "--screen", "--output", shot, env=env)
    with Image.open(shot) as picture:
        if picture.size != grab_screen().size:
            fail("--screen --output wrote %s, not the screen" % (picture.size,))

    picture = os.path.join(work, "magenta.png")
    Image.new("RGB", (300, 200), MAGENTA).save(picture)
    app = subprocess.Popen([binary, picture], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    try:
        def shown():  # 200 rows of 300 magenta pixels (the palette has a small swatch)
            magenta = (np.asarray(grab_screen()) == MAGENTA).all(axis=2)
            return (magenta.sum(axis=1) >= 300).sum() >= 200
        wait_for(shown, "the picture given at start does not show: no decoder from the "
                 "unpacked libexec folder?")
    finally:
        stop(app)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    check_setup(os.path.join(build, "kamsulo"), ("lintian", "dpkg-deb", "appstreamcli",
                                                 "desktop-file-validate"),
                ("gi", "numpy", "PIL.Image", "PIL.ImageGrab"))
    import gi
    gi.require_version("Gio", "2.0")
    from gi.repository import Gio

    work = tempfile.mkdtemp(prefix="kamsulo-package.")
    try:
        # 1. An install to a prefix of the user's choice.
        prefix = os.path.join(work, "ein Präfix")
        run("cmake", "--install", build, "--prefix", prefix)
        entry = os.path.join(prefix, "share/applications/kamsulo.desktop")
        # GIO takes an entry only when its Exec's program is there.
        if Gio.DesktopAppInfo.new_from_filename(entry) is None:
            fail("GIO does not load the installed desktop entry")
        check_commands(entry, os.path.join(prefix, "bin/kamsulo"))

        # 2. The package.
        deb = run(os.path.join(SOURCE, "scripts/package"), "--from", build, "--into",
                  work).strip().splitlines()[-1]
        root = os.path.join(work, "root")
        check_package(deb, root)

        # 3. The unpacked program.
        check_unpacked_program(os.path.join(root, "usr/bin/kamsulo"), work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("package story passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
