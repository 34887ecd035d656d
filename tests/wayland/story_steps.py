"""What the Wayland stories share: failing with a reason, and waiting for what can be
observed, never for a fixed time."""
import time

TIMEOUT = 60.0  # seconds for anything to show; the headless compositors are slow on 2 cores


def fail(reason):
    print("FAIL: " + reason)
    raise SystemExit(1)


def wait_for(condition, what):
    deadline = time.time() + TIMEOUT
    while True:
        result = condition()
        if result:
            return result
        if time.time() > deadline:
            fail("%s (waited %g s)" % (what, TIMEOUT))
        time.sleep(0.05)
