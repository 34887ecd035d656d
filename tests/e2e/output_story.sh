#!/usr/bin/env bash
# The command line's scripted forms: --screen and --region with --output write the
# capture to a file (Region through its overlay) with no main window; a file that
# cannot be written costs one German line and status 1 and leaves no file; a file:
# URI with percent-encoding opens its file in the main window.
source "$(dirname "$0")/lib.sh"
root_pattern
# The file holds exactly the tiled pattern in root pixels LEFT TOP RIGHT BOTTOM.
holds_pattern() { # file left top right bottom
    $PY - "$@" "$E2E_TMP/pattern.png" <<'PYEOF'
import sys
import numpy as np
from PIL import Image
pic = np.asarray(Image.open(sys.argv[1]).convert("RGB"))
left, top, right, bottom = map(int, sys.argv[2:6])
tile = np.asarray(Image.open(sys.argv[6]).convert("RGB"))
want = tile[(np.arange(top, bottom) % tile.shape[0])[:, None],
            (np.arange(left, right) % tile.shape[1])[None, :]]
sys.exit(0 if pic.shape == want.shape and (pic == want).all() else 1)
PYEOF
}
no_main_window() { ! xdotool search --onlyvisible --name '^Kamsulo $' >/dev/null 2>&1; }

"$1" --screen --output "$E2E_TMP/screen.png" || fail "--screen --output ended with $?"
# Above the tray host's strip at the bottom, the file is the desktop.
holds_pattern <(convert "$E2E_TMP/screen.png" -crop 1920x1040+0+0 +repage png:-) 0 0 1920 1040 ||
    fail "--screen --output did not write the screen"

"$1" --region --output "$E2E_TMP/region.png" 2>"$E2E_TMP/region.log" &
APP_PID=$!
WID=none
wait_for "$E2E_TIMEOUT" "no overlay for --region --output" overlay_shown
no_main_window || fail "--region --output showed the main window"
drag_through 300 200 400 300 500 350
wait_for "$E2E_TIMEOUT" "--region --output did not end" app_exited
wait "$APP_PID" || fail "--region --output ended with $?"
APP_PID=""
holds_pattern "$E2E_TMP/region.png" 301 201 500 350 || fail "the region file is not the crop"

# Qt's own warnings stay out of the one line.
export XDG_RUNTIME_DIR=$E2E_TMP/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
for output in "$E2E_TMP/missing/a.png" "$E2E_TMP/a.tiff"; do
    status=0
    "$1" --screen --output "$output" 2>"$E2E_TMP/err.log" || status=$?
    [ "$status" = 1 ] && [ "$(wc -l <"$E2E_TMP/err.log")" = 1 ] && [ ! -e "$output" ] ||
        fail "--output $output: status $status, $(cat "$E2E_TMP/err.log")"
done

# Larger than the viewport, so that its top-left corner shows at the viewport's.
convert -size 1200x800 tile:"$E2E_TMP/pattern.png" "$E2E_TMP/ein Bild.png"
start_app "$1" "file://${E2E_TMP// /%20}/ein%20Bild.png"
viewport_shows_pattern() {
    shot "$SHOT" && cut_shot 64x48+$((X + 8))+$((Y + 68)) "$E2E_TMP/corner.ppm" &&
        same_file "$E2E_TMP/corner.ppm" "$E2E_TMP/pattern.ppm"
}
wait_for "$E2E_TIMEOUT" "the file: URI did not open its file" viewport_shows_pattern
echo "output story passed"
