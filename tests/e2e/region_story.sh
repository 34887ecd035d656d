#!/usr/bin/env bash
# Region: drag the same rectangle in each of the four directions; the canvas holds
# exactly the screen's pixels inside the outline each time. A click without a drag,
# and a drag of 3 pixels, leave the canvas empty.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"

# Drags from (x1,y1) to (x2,y2) on the overlay, after pressing Region.
region_drag() {
    press_button 0
    # The window goes away, the timer opens the overlay.
    wait_until 10 overlay_shown || fail "no overlay after Region"
    sleep 0.2
    xdotool mousemove --sync "$1" "$2" mousedown 1
    xdotool mousemove --sync $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
    xdotool mousemove --sync "$3" "$4"
    sleep 0.1
    xdotool mouseup 1
    wait_until 10 main_window_viewable || fail "the main window did not come back"
    sleep 0.3
    client_origin
    # Keep the pointer off the viewport for the screenshot.
    xdotool mousemove --sync $((X + 2)) $((Y + 2))
    sleep 0.2
}

check_canvas() { # expected crop: left top right bottom (root pixels, right/bottom exclusive)
    shot "$E2E_TMP/shot.png"
    # The viewport: (120, 1020) twips, and at most the window's width and 300 pixels down.
    $PY "$(dirname "$0")/find_crop.py" "$E2E_TMP/shot.png" "$E2E_TMP/pattern.png" \
        $((X + 8)) $((Y + 68)) 540 200 "$@"
}

# The outline runs through (300,200) and (500,350); the crop is what lies inside it.
for corners in "300 200 500 350" "500 350 300 200" "500 200 300 350" "300 350 500 200"; do
    echo "drag $corners" >&2
    region_drag $corners
    check_canvas 301 201 500 350 || fail "drag $corners gave another crop"
done

region_drag 400 250 400 250
check_canvas 0 0 0 0 || fail "a click left a picture on the canvas"
region_drag 400 250 403 253
check_canvas 0 0 0 0 || fail "a drag of 3 pixels left a picture on the canvas"
echo "region story passed"
