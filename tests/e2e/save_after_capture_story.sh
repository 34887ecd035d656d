#!/usr/bin/env bash
# Screen, Save (the save dialog opens), Screen again with the save dialog open: the
# capture holds no save dialog, the dialog comes back, and choosing BMP and Save opens
# the file dialog while the main window stays on the screen in its normal state.
source "$(dirname "$0")/lib.sh"
root_pattern
start_app "$1"
mark_main_window
press_button 1
wait_main_window_back
press_button 5
SAVE=$(wait_window "Speichern als...")
mark_main_window
press_button 1
# The save dialog covers part of the button row now: wait for the round trip only.
wait_for "$E2E_TIMEOUT" "the main window did not hide and come back" main_window_went_and_came_back
wait_for "$E2E_TIMEOUT" "the main window did not come back" main_window_viewable
wait_for "$E2E_TIMEOUT" "the save dialog did not come back" \
    xdotool search --onlyvisible --name "^Speichern als...\$"

# BMP, then Save: the file dialog asks for a name.
click_in() { # window, left and top in twips
    local info
    info=$(xwininfo -id "$1")
    click_at $(($(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info") + $2 / 15 + 5)) \
        $(($(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info") + $3 / 15 + 6))
}
click_in "$SAVE" 60 120    # BMP
click_in "$SAVE" 960 60    # Save
DIALOG=$(wait_window "Bild speichern unter")
active_is_dialog() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$DIALOG" ]; }
wait_for "$E2E_TIMEOUT" "the file dialog did not get the focus" active_is_dialog
xprop -id "$WID" WM_STATE 2>/dev/null | grep -q 'window state: Normal' ||
    fail "the main window left the screen when the file dialog opened"
main_window_viewable || fail "the main window is not viewable"
echo "save after capture story passed"
