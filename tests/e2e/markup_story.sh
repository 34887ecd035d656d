#!/usr/bin/env bash
# Screen, then an arrow, a highlighter stroke and a text; then three undos, each of
# which takes back one marking on the canvas.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"
mark_main_window
press_button 1
wait_main_window_back

# A tool button of the palette strip, by its left edge in twips; the strip is the
# bottom 540 twips of the window. The click takes effect before whatever follows it:
# each step below waits for what it draws.
pick_tool() {
    click_at $((X + ($1 + 187) / 15)) $((Y + H - 36 + (90 + 200) / 15))
}
away() { move_pointer $((X + 300)) $((Y - 10)); }
viewport_top() { cut_shot 500x150+$((X + 8))+$((Y + 68)) "$1"; }
canvas() { # saves the viewport's top part once the screen is still
    away
    wait_screen_settled "the canvas does not hold still"
    viewport_top "$E2E_TMP/$1.ppm"
}
# Waits until the viewport's top part has changed from an earlier `canvas` and is
# still again, and saves it; fails with the message if it does not change.
canvas_changed() { # before after message
    away
    wait_screen_settled "$3" viewport_differs_from "$1"
    viewport_top "$E2E_TMP/$2.ppm"
}
viewport_differs_from() { viewport_top "$E2E_TMP/now.ppm" && ! same "$1" now; }
drag() { drag_through $((X + $1)) $((Y + $2)) $((X + ($1 + $3) / 2)) $((Y + ($2 + $4) / 2)) $((X + $3)) $((Y + $4)); }
same() { cmp -s "$E2E_TMP/$1.ppm" "$E2E_TMP/$2.ppm"; }

canvas s0
pick_tool 1296 # "Pfeile"
drag 100 100 300 180
canvas_changed s0 s1 "the arrow is not on the canvas"
pick_tool 3648 # the highlighter
drag 60 150 400 150
canvas_changed s1 s2 "the highlighter stroke is not on the canvas"
pick_tool 4432 # text
click_at $((X + 350)) $((Y + 120))
dlg=$(wait_window "Text hinzufügen")
DX=$(xwininfo -id "$dlg" | sed -n 's/.*Absolute upper-left X: *//p')
DY=$(xwininfo -id "$dlg" | sed -n 's/.*Absolute upper-left Y: *//p')
click_at $((DX + (3480 + 247) / 15)) $((DY + (120 + 157) / 15)) # OK
wait_for "$E2E_TIMEOUT" "the text dialog does not close on OK" window_gone "$dlg"
canvas_changed s2 s3 "the text is not on the canvas"

same s0 s1 && fail "the arrow is not on the canvas"
same s1 s2 && fail "the highlighter stroke is not on the canvas"
same s2 s3 && fail "the text is not on the canvas"

undo() { pick_tool 4824; canvas_changed "$1" "$2" "$3 (the canvas did not change)"; }
undo s3 u1 "the first undo does not take the text back"
same u1 s2 || fail "the first undo does not take the text back"
undo u1 u2 "the second undo does not take the highlighter back"
same u2 s1 || fail "the second undo does not take the highlighter back"
undo u2 u3 "the third undo does not take the arrow back"
same u3 s0 || fail "the third undo does not take the arrow back"
echo "markup story passed"
