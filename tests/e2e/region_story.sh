#!/usr/bin/env bash
# Region: drag the same rectangle in each of the four directions; the canvas holds
# exactly the screen's pixels inside the outline each time. A click without a drag,
# and a drag of 3 pixels, leave the canvas empty.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"

# The overlay draws the red outline up to the pointer.
outline_reaches() { shot "$SHOT" && [ "$(pixel_of_shot "$1" "$2")" = FF0000 ]; }

# Drags from (x1,y1) to (x2,y2) on the overlay, after pressing Region.
region_drag() {
    mark_main_window
    press_button 0
    # The window goes away, the timer opens the overlay.
    wait_for "$E2E_TIMEOUT" "no overlay after Region" overlay_shown
    move_pointer "$1" "$2"
    xdotool mousedown 1
    move_pointer $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
    move_pointer "$3" "$4"
    if [ "$1 $2" != "$3 $4" ]; then
        wait_for "$E2E_TIMEOUT" "the outline does not follow the pointer to $3,$4" outline_reaches "$3" "$4"
    fi
    xdotool mouseup 1
    # Back and repainted, with the pointer kept off the viewport for the screenshot.
    wait_main_window_back
}

check_canvas() { # expected crop: left top right bottom (root pixels, right/bottom exclusive)
    # The viewport: (120, 1020) twips, and at most the window's width and 300 pixels down.
    $PY "$(dirname "$0")/find_crop.py" "$SHOT" "$E2E_TMP/pattern.png" \
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
