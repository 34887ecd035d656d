#!/usr/bin/env bash
# Start Kamsulo, press "Screen": the canvas shows the screen. Close the window: the
# question "Pixtorel - Kontrollabfrage" appears; "Nein" ends the program with status 0.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"
mark_main_window
press_button 1
wait_main_window_back
# The viewport starts at (120, 1020) twips; the screen is larger than the viewport,
# so the canvas shows the screen's top-left corner there, 1:1.
$PY - "$SHOT" "$E2E_TMP/pattern.png" "$X" "$Y" <<'PYEOF' || fail "the canvas does not show the screen"
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB")
tile = Image.open(sys.argv[2]).convert("RGB")
x0, y0 = int(sys.argv[3]) + 120 // 15, int(sys.argv[4]) + 1020 // 15
bad = 0
for y in range(0, 150):
    for x in range(0, 300):
        if shot.getpixel((x0 + x, y0 + y)) != tile.getpixel((x % tile.width, y % tile.height)):
            bad += 1
print("differing pixels:", bad)
sys.exit(1 if bad else 0)
PYEOF

keys_to "$WID" alt+F4
box=$(wait_window "Pixtorel - Kontrollabfrage")
keys_to "$box" alt+n
wait_for "$E2E_TIMEOUT" "the program is still running" app_exited
status=0
wait "$APP_PID" || status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "exit status $status"
echo "screen story passed"
