#!/usr/bin/env bash
# Screen, then an arrow, a highlighter stroke and a text; then three undos, each of
# which takes back one marking on the canvas.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"
press_button 1
wait_until 10 main_window_viewable || fail "the window did not come back"
sleep 0.5
client_origin
HEIGHT=$(xwininfo -id "$WID" | sed -n 's/.*Height: *//p')

# A tool button of the palette strip, by its left edge in twips; the strip is the
# bottom 540 twips of the window.
pick_tool() {
    xdotool mousemove --sync $((X + ($1 + 187) / 15)) $((Y + HEIGHT - 36 + (90 + 200) / 15)) click 1
    sleep 0.2
}
away() { xdotool mousemove --sync $((X + 300)) $((Y - 10)); sleep 0.4; }
canvas() { # saves the viewport's top part
    away
    shot "$E2E_TMP/full.png"
    convert "$E2E_TMP/full.png" -crop 500x150+$((X + 8))+$((Y + 68)) +repage "$E2E_TMP/$1.png"
}
drag() {
    xdotool mousemove --sync $((X + $1)) $((Y + $2)) mousedown 1
    xdotool mousemove --sync $((X + ($1 + $3) / 2)) $((Y + ($2 + $4) / 2))
    xdotool mousemove --sync $((X + $3)) $((Y + $4)) mouseup 1
    sleep 0.2
}
same() { [ "$(compare -metric AE "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" null: 2>&1)" = 0 ]; }

canvas s0
pick_tool 1296 # "Pfeile"
drag 100 100 300 180
canvas s1
pick_tool 3648 # the highlighter
drag 60 150 400 150
canvas s2
pick_tool 4432 # text
xdotool mousemove --sync $((X + 350)) $((Y + 120)) click 1
dlg=$(wait_window "Text hinzufügen")
DX=$(xwininfo -id "$dlg" | sed -n 's/.*Absolute upper-left X: *//p')
DY=$(xwininfo -id "$dlg" | sed -n 's/.*Absolute upper-left Y: *//p')
xdotool mousemove --sync $((DX + (3480 + 247) / 15)) $((DY + (120 + 157) / 15)) click 1 # OK
sleep 0.5
canvas s3

same s0 s1 && fail "the arrow is not on the canvas"
same s1 s2 && fail "the highlighter stroke is not on the canvas"
same s2 s3 && fail "the text is not on the canvas"

undo() { pick_tool 4824; canvas "$1"; }
undo u1
same u1 s2 || fail "the first undo does not take the text back"
undo u2
same u2 s1 || fail "the second undo does not take the highlighter back"
undo u3
same u3 s0 || fail "the third undo does not take the arrow back"
echo "markup story passed"
