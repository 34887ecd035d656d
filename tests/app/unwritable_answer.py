#!/usr/bin/python3
"""--help and --version whose answer cannot be written (a full device, a pipe whose
reader has gone) end with status 1 and one German line on stderr."""
import os
import subprocess
import sys

kamsulo = sys.argv[1]


def full_device():
    return open("/dev/full", "wb")


def closed_pipe():
    read_end, write_end = os.pipe()
    os.close(read_end)
    return os.fdopen(write_end, "wb")


failures = 0
for option in ("--help", "--version"):
    for target in (full_device, closed_pipe):
        with target() as out:
            # The child gets SIGPIPE's default back, as from a shell.
            run = subprocess.run([kamsulo, option], stdout=out, stderr=subprocess.PIPE,
                                 text=True, timeout=30)
        lines = run.stderr.splitlines()
        ok = (run.returncode == 1 and len(lines) == 1
              and lines[0].startswith("kamsulo: Die Ausgabe ließ sich nicht schreiben"))
        print(f"{option} to {target.__name__}: status {run.returncode}, stderr {lines!r}"
              f"{'' if ok else '  WRONG'}")
        failures += not ok
sys.exit(1 if failures else 0)
