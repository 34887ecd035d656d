#!/usr/bin/env bash
# `kamsulo --screen` takes the screen at start, as the Screen button would: the
# picture is the whole screen without the main window in it (read back through the
# ClipBoard button).
source "$(dirname "$0")/lib.sh"
root_pattern
wait_for "$E2E_TIMEOUT" "no window manager runs on display $DISPLAY" window_manager_running
"$1" --screen >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
WID=$(wait_window "Kamsulo " --pid "$APP_PID")
# The capture has arrived once the viewport shows the screen's top-left corner 1:1.
viewport_shows_pattern() {
    main_window_viewable && client_origin && shot "$E2E_TMP/now.png" || return 1
    convert "$E2E_TMP/now.png" -crop 64x48+$((X + 8))+$((Y + 68)) +repage "$E2E_TMP/corner.png" &&
        [ "$(compare -metric AE "$E2E_TMP/corner.png" "$E2E_TMP/pattern.png" null: 2>&1)" = 0 ]
}
wait_for "$E2E_TIMEOUT" "the screen did not arrive on the canvas" viewport_shows_pattern
press_button 3 # ClipBoard
clipboard_has_png() { xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -q image/png; }
wait_for "$E2E_TIMEOUT" "nothing on the clipboard" clipboard_has_png
xclip -o -selection clipboard -t image/png >"$E2E_TMP/picture.png"
$PY - "$E2E_TMP/picture.png" "$E2E_TMP/pattern.png" <<'PYEOF' || fail "the picture is not the bare screen"
import sys
from PIL import Image
pic = Image.open(sys.argv[1]).convert("RGB")
tile = Image.open(sys.argv[2]).convert("RGB")
# Everything above the tray host's strip at the bottom is the desktop's pattern.
bad = sum(1 for y in range(0, pic.height - 40, 3) for x in range(0, pic.width, 3)
          if pic.getpixel((x, y)) != tile.getpixel((x % tile.width, y % tile.height)))
print("size", pic.size, "differing pixels:", bad)
sys.exit(1 if bad else 0)
PYEOF
echo "screen option story passed"
