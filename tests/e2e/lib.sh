# Helpers for the end-to-end stories: they drive the real binary with xdotool on
# the display that the test script provides, and read the screen back.
set -euo pipefail
PY=/usr/bin/python3
E2E_TMP=$(mktemp -d /tmp/kamsulo-e2e.XXXXXX)
APP_PID=""
cleanup_e2e() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    rm -rf "$E2E_TMP"
}
trap cleanup_e2e EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# A pattern tiled over the root window, so that the screen has known content.
root_pattern() {
    convert -size 64x48 xc: -fx 'i<32 ? (j<24 ? 0.2 : 0.6) : (j<24 ? 0.8 : 0.4)' \
        -fill '#ff8000' -draw 'rectangle 5,5 20,10' -fill '#0040ff' -draw 'rectangle 40,30 60,44' \
        "$E2E_TMP/pattern.png"
    # display sets the root background and answers 1 even when it did.
    display -window root "$E2E_TMP/pattern.png" || true
}

# Starts the program and waits for its main window; sets WID, X, Y (client origin).
start_app() {
    "$1" >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
    WID=$(xdotool search --sync --onlyvisible --name '^Kamsulo $' | head -n 1)
    [ -n "$WID" ] || fail "the main window did not appear"
    sleep 0.5
    client_origin
}

# The client area's top-left corner on the root window: X, Y.
client_origin() {
    local info
    info=$(xwininfo -id "$WID")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
}

# Clicks at a point given in twips of the main window's client area (15 per pixel).
click_twips() {
    client_origin
    xdotool mousemove --sync $((X + $1 / 15)) $((Y + $2 / 15)) click 1
}

# Presses main-window button `index` by its position in the row.
press_button() {
    local lefts=(180 1095 2025 2940 3870 5715 7560 4785 6630)
    click_twips $((${lefts[$1]} + 450)) 470
}

shot() { import -window root "$1"; }

# Waits for a window whose title matches exactly; prints its id.
wait_window() {
    local id
    id=$(timeout "${2:-10}" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
    [ -n "$id" ] || fail "no window titled '$1'"
    echo "$id"
}

# Polls until `cmd` succeeds, for at most $1 seconds.
wait_until() {
    local limit=$1
    shift
    for _ in $(seq 1 $((limit * 20))); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

main_window_viewable() {
    local info
    info=$(xwininfo -id "$WID" 2>/dev/null) || return 1
    [[ "$info" == *IsViewable* ]]
}
main_window_gone() { ! main_window_viewable; }

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
