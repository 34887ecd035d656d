# Helpers for the end-to-end stories: they drive the real binary with xdotool on
# the display that the test script provides, and read the screen back.
#
# Nothing here sleeps for a set time. Every step waits for something it can see: a
# window, a window property, a process, or the pixels on the screen. It returns as soon
# as that shows, and fails the story with a message when it has not shown within
# E2E_TIMEOUT seconds (generous, as the machine may be busy).
set -euo pipefail
PY=/usr/bin/python3
E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_TMP=$(mktemp -d /tmp/kamsulo-e2e.XXXXXX)
SHOT=$E2E_TMP/screen.ppm # the latest grab of the whole screen
APP_PID=""
SPY_PID=""
cleanup_e2e() {
    [ -n "$SPY_PID" ] && kill "$SPY_PID" 2>/dev/null || true
    if [ -n "$APP_PID" ]; then
        # Gone, with its windows, before the next story starts on this display.
        kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    fi
    rm -rf "$E2E_TMP"
}
trap cleanup_e2e EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

now_ms() { echo $((${EPOCHREALTIME//[.,]/} / 1000)); }

# Runs `cmd...` every 50 ms until it succeeds; fails the story with `what` when it has
# not within `seconds`.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + seconds * 1000))
    until "$@"; do
        (($(now_ms) < deadline)) || fail "$what (waited ${seconds} s)"
        sleep 0.05
    done
}

# --- The screen ---------------------------------------------------------------------

shot() { import -window root -depth 8 "$1"; }

# What screen_settled compares: the whole screen, or, once the main window is up, its
# client area down to 200 pixels into the viewport. That is all the stories look at;
# the size grip further down animates all the time and would never hold still.
watched_area() { [ -z "${WID:-}" ] || echo "${W}x$((VIEWPORT_TOP + 200))+$X+$Y"; }
VIEWPORT_TOP=68 # 1020 twips

# Grabs the screen into $SHOT; true when the watched area is the same as in the grab
# before, that is when every repaint that was under way has reached the screen.
screen_settled() {
    local area
    [ -f "$E2E_TMP/area.ppm" ] && mv -f "$E2E_TMP/area.ppm" "$E2E_TMP/previous.ppm"
    shot "$SHOT" || return 1
    area=$(watched_area)
    if [ -n "$area" ]; then
        cut_shot "$area" "$E2E_TMP/area.ppm" || return 1
    else
        cp "$SHOT" "$E2E_TMP/area.ppm"
    fi
    [ -f "$E2E_TMP/previous.ppm" ] && same_file "$E2E_TMP/area.ppm" "$E2E_TMP/previous.ppm"
}

# Waits until two grabs in a row are the same and `cmd...` (if given) holds for them;
# the settled grab stays in $SHOT.
wait_screen_settled() {
    local what=$1
    shift
    rm -f "$E2E_TMP/area.ppm" "$E2E_TMP/previous.ppm"
    wait_for "$E2E_TIMEOUT" "$what" settled_and "$@"
}
settled_and() { screen_settled && { [ $# -eq 0 ] || "$@"; }; }

# Cuts WxH+X+Y out of $SHOT into a file.
cut_shot() { convert "$SHOT" -crop "$1" +repage "$2"; }

same_file() { cmp -s "$1" "$2"; }

# The colour of one pixel of $SHOT, as RRGGBB.
pixel_of_shot() { convert "$SHOT" -format "%[hex:u.p{$1,$2}]" info:; }

# A pattern tiled over the root window, so that the screen has known content. Leaves
# the desktop as it then looks in desktop.ppm.
root_pattern() {
    convert -size 64x48 xc: -fx 'i<32 ? (j<24 ? 0.2 : 0.6) : (j<24 ? 0.8 : 0.4)' \
        -fill '#ff8000' -draw 'rectangle 5,5 20,10' -fill '#0040ff' -draw 'rectangle 40,30 60,44' \
        "$E2E_TMP/pattern.png"
    convert "$E2E_TMP/pattern.png" -depth 8 "$E2E_TMP/pattern.ppm"
    # display sets the root background and answers 1 even when it did.
    display -window root "$E2E_TMP/pattern.png" || true
    wait_screen_settled "the desktop does not show the pattern" desktop_shows_pattern
    cp "$SHOT" "$E2E_TMP/desktop.ppm"
}
desktop_shows_pattern() {
    cut_shot 64x48+0+0 "$E2E_TMP/corner.ppm" && same_file "$E2E_TMP/corner.ppm" "$E2E_TMP/pattern.ppm"
}

# --- The main window ----------------------------------------------------------------

# Starts the program (with the arguments given after it) and waits until its main
# window is up, managed by the window manager and painted; sets WID, X, Y, W, H
# (client area) and remembers how the button row looks.
start_app() {
    wait_for "$E2E_TIMEOUT" "no window manager runs on display $DISPLAY" window_manager_running
    "$@" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    WID=$(wait_window "Kamsulo " --pid "$APP_PID")
    wait_for "$E2E_TIMEOUT" "the window manager does not manage the main window" main_window_managed
    watch_main_window
    client_origin
    park_pointer
    # Painted: the button row no longer shows the desktop that was there before.
    wait_screen_settled "the main window is not painted" button_row_differs_from "$E2E_TMP/desktop.ppm"
    button_row "$E2E_TMP/buttons.ppm"
}

# The client area on the root window: X, Y (top-left corner), W, H (size).
client_origin() {
    local info
    info=$(xwininfo -id "$WID")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    W=$(sed -n 's/.*Width: *//p' <<<"$info")
    H=$(sed -n 's/.*Height: *//p' <<<"$info")
}

# Moves the pointer to x y on the root window and waits until it is there.
move_pointer() {
    xdotool mousemove "$1" "$2"
    wait_for "$E2E_TIMEOUT" "the pointer does not get to $1,$2" pointer_at "$1" "$2"
}
pointer_at() { [[ "$(xdotool getmouselocation)" == "x:$1 y:$2 "* ]]; }

# Presses the left button at x y, drags over the points that follow and lets go at
# the last one.
drag_through() {
    move_pointer "$1" "$2"
    xdotool mousedown 1
    shift 2
    while [ $# -gt 0 ]; do
        move_pointer "$1" "$2"
        shift 2
    done
    xdotool mouseup 1
}

click_at() { move_pointer "$1" "$2" && xdotool click 1; }

# Clicks at a point given in twips of the main window's client area (15 per pixel).
click_twips() {
    client_origin
    click_at $((X + $1 / 15)) $((Y + $2 / 15))
}

# Presses main-window button `index` by its position in the row.
press_button() {
    local lefts=(180 1095 2025 2940 3870 5715 7560 4785 6630)
    click_twips $((${lefts[$1]} + 450)) 470
}

# Rests the pointer on the main window's left margin, above no button or canvas, so
# that no hover highlight or tooltip changes what the screen shows.
park_pointer() { move_pointer $((X + 2)) $((Y + 2)); }

# The button row: the client area above the viewport.
button_row() { client_origin && cut_shot "${W}x$((VIEWPORT_TOP - 2))+$X+$Y" "$1"; }
button_row_differs_from() { # a grab of the screen
    button_row "$E2E_TMP/row.ppm" || return 1
    convert "$1" -crop "${W}x$((VIEWPORT_TOP - 2))+$X+$Y" +repage "$E2E_TMP/row-before.ppm" || return 1
    ! same_file "$E2E_TMP/row.ppm" "$E2E_TMP/row-before.ppm"
}
button_row_as_at_start() {
    button_row "$E2E_TMP/row.ppm" && same_file "$E2E_TMP/row.ppm" "$E2E_TMP/buttons.ppm"
}

window_manager_running() {
    local check
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # *//p')
    [ -n "$check" ] && xwininfo -id "$check" >/dev/null 2>&1
}

main_window_viewable() {
    local info
    info=$(xwininfo -id "$WID" 2>/dev/null) || return 1
    [[ "$info" == *IsViewable* ]]
}
main_window_managed() {
    main_window_viewable && xprop -id "$WID" WM_STATE 2>/dev/null | grep -q 'window state: Normal'
}

# Follows the main window's WM_STATE, which the window manager takes away when the
# program hides the window and sets to Normal again when the window is shown.
watch_main_window() {
    stdbuf -oL xprop -spy -id "$WID" WM_STATE >"$E2E_TMP/wm_state.log" 2>&1 &
    SPY_PID=$!
    wait_for "$E2E_TIMEOUT" "xprop does not follow the main window" \
        grep -q 'window state' "$E2E_TMP/wm_state.log"
}

# Call before a capture button; wait_main_window_back then waits for the round trip.
mark_main_window() { TRIP_MARK=$(wc -l <"$E2E_TMP/wm_state.log"); }
main_window_went_and_came_back() {
    tail -n +$((TRIP_MARK + 1)) "$E2E_TMP/wm_state.log" | awk '
        /not found|window state: (Withdrawn|Iconic)/ { gone = 1 }
        /window state: Normal/ && gone { back = 1 }
        END { exit !back }'
}

# After a capture: the main window was hidden, is shown again and has repainted
# (its button row looks as at start, and the screen is still); the grab is in $SHOT.
wait_main_window_back() {
    wait_for "$E2E_TIMEOUT" "the main window did not hide and come back" main_window_went_and_came_back
    wait_for "$E2E_TIMEOUT" "the main window did not come back" main_window_viewable
    client_origin
    park_pointer
    wait_screen_settled "the main window did not repaint after coming back" button_row_as_at_start
}

# --- Other windows -----------------------------------------------------------------

# Waits for a visible window whose title matches exactly, and that meets the further
# search conditions given, if any (e.g. --pid N); prints its id.
wait_window() {
    local title=$1 id
    shift
    id=$(timeout "$E2E_TIMEOUT" xdotool search --sync --all --onlyvisible "$@" --name "^$title\$" |
        head -n 1) || true
    [ -n "$id" ] || fail "no window titled '$title'"
    echo "$id"
}

window_gone() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 0
    [[ "$info" != *IsViewable* ]]
}

# Activates a window and types keys into it.
keys_to() {
    timeout "$E2E_TIMEOUT" xdotool windowactivate --sync "$1" key --clearmodifiers "$2" ||
        fail "could not type $2 into window $1"
}

# The region overlay: a viewable top-level window of ours covering the whole screen.
overlay_shown() {
    local w info width
    width=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x.*/\1/p')
    for w in $(xdotool search --onlyvisible --class kamsulo 2>/dev/null); do
        [ "$w" = "$WID" ] && continue
        info=$(xwininfo -id "$w" 2>/dev/null) || continue
        [[ "$info" == *"Width: $width"* ]] && return 0
    done
    return 1
}

app_exited() { ! kill -0 "$APP_PID" 2>/dev/null; }
