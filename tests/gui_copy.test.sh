#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copies reach other programs. Connected to the local host, the user drags
# over the board's text with the mouse; Alt+C and both context-menu copies
# put it on the clipboard, where another X client (xclip) reads it. Hovering
# the context menu leaves the status bar alone. The same in the buffer's
# View window after Stash. The address book has been open before (F7), as
# it always has when a user is connected.
# Usage: gui_copy.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
readonly cell=16  # scale 2
board="$GUI_TMP/board.seq"
# FIRST ROW / SECOND ROW in white; a red reversed RED, a graphic and a pound sign.
printf '\x8e\x05FIRST ROW\rSECOND ROW\r\x1c\x12RED\x92 \xa6\x5c' >"$board"

"$build/morlen-host" --port 0 --script "$board" --write-config "$HOME/.config" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
for _ in $(seq 50); do grep -q '^port ' "$GUI_TMP/host.out" && [ -s "$GUI_CONFIG" ] && break; sleep 0.1; done

gui_run_program "$build" || exit 1
gui_connect_first_entry || exit 1

# Where the board is on the screen: found in a picture of the window.
"$build/morlen-petscii" render --all --scale 2 --colour 15 "$board" "$GUI_TMP/render.png"
cursor=$("$build/morlen-petscii" dump --summary "$board" | awk '{print $7, $6}')
offset=""
result=$(gui_wait_picture "$GUI_WINDOW" "$GUI_TMP/window.png" "$GUI_TMP/render.png" --ignore-cell $cursor 2)
[[ $result == *"differing 0"* ]] && { offset=${result#offset }; offset=${offset% differing*}; }
check "the board is on the screen" 1 "$([ -n "$offset" ] && echo 1 || echo 0)"
[ -n "$offset" ] || { cat "$GUI_TMP/program.log"; exit 1; }

# select_cells WINDOW OX OY COL0 ROW0 COL1 ROW1 PROBE_COL PROBE_ROW: a drag
# with the left button from the middle of one cell of the canvas at (OX, OY)
# in WINDOW to the middle of another. The button stays down, the pointer
# moving on the end cell, until the probe cell (a blank one) shows
# selected in a picture of the window: however busy the program, the drag
# has then been seen while the button was down.
select_cells() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local x=$((X + $2)) y=$((Y + $3)) nudge=0 seen=0
  timeout 10 xdotool mousemove $((x + $4 * cell + cell / 2)) $((y + $5 * cell + cell / 2)) mousedown 1
  local deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ]; do
    nudge=$((1 - nudge))
    timeout 10 xdotool mousemove $((x + $6 * cell + cell / 2 + nudge)) $((y + $7 * cell + cell / 2))
    timeout 20 import -window "$1" "$GUI_TMP/drag.png"
    pixel=$(convert "$GUI_TMP/drag.png" -format "%[pixel:p{$(($2 + $8 * cell + cell / 2)),$(($3 + $9 * cell + cell / 2))}]" info:)
    [[ $pixel == white || $pixel == "srgb(255,255,255)" ]] && { seen=1; break; }
  done
  timeout 10 xdotool mouseup 1
  [ $seen -eq 1 ] || echo "the drag did not select"
}
# origin WINDOW OX OY: the screen position of the canvas at (OX, OY) in WINDOW.
origin() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo $((X + $2)) $((Y + $3))
}
# menu_copy X Y DOWNS: opens the context menu there, moves DOWNS items down
# and chooses that item. (Each menu opens at another place: two right
# clicks at one place in quick succession are a double click.)
menu_copy() {
  timeout 10 xdotool mousemove "$1" "$2" click 3
  gui_wait_popup_menu || { echo "no context menu"; return 1; }
  timeout 10 xdotool key --delay 50 $(for _ in $(seq "$3"); do printf 'Down '; done) Return
  gui_wait_no_popup_menu
}
hex() { printf "$1" | od -An -tx1 | tr -d ' \n'; }

# The ASCII copy of FIRST ROW up to the fifth letter of SECOND ROW, and its
# PETSCII copy: charset, reverse and colour first, CR at the end of a row;
# the PETSCII bytes travel as the characters U+0000-U+00FF.
ascii=$(hex 'FIRST ROW\nSECON')
petscii=$(hex '\xc2\x8e\xc2\x92\x05FIRST ROW\rSECON')

ox=${offset% *} oy=${offset#* }
read -r x0 y0 < <(origin "$GUI_WINDOW" "$ox" "$oy")
select_cells "$GUI_WINDOW" "$ox" "$oy" 0 0 5 1 5 0
gui_clipboard_set before
gui_key alt+c
check "Alt+C in the main window" "$ascii" "$(gui_wait_clipboard "$ascii")"

# status_bar FILE: a picture of the main window's lowest 20 rows of pixels.
status_bar() {
  timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/whole.png" &&
    convert "$GUI_TMP/whole.png" -gravity South -crop "$(identify -format %w "$GUI_TMP/whole.png")x20+0+0" +repage "$1"
}
# The status bar while an item of the context menu is highlighted.
status_bar "$GUI_TMP/status-before.png"
timeout 10 xdotool mousemove $((x0 + 12 * cell)) $((y0 + cell / 2)) click 3
gui_wait_popup_menu
timeout 10 xdotool key Down
changed=0
for _ in $(seq 10); do
  status_bar "$GUI_TMP/status-during.png"
  differing=$(compare -metric AE "$GUI_TMP/status-before.png" "$GUI_TMP/status-during.png" null: 2>&1)
  [ "$differing" != 0 ] && { changed=1; break; }
  sleep 0.1
done
check "hovering the context menu leaves the status bar as it was" 0 "$changed"
timeout 10 xdotool key Escape
gui_wait_no_popup_menu

gui_clipboard_set before
menu_copy $((x0 + 2 * cell)) $((y0 + 3 * cell)) 1
check "the context menu's Copy as ASCII" "$ascii" "$(gui_wait_clipboard "$ascii")"
gui_clipboard_set before
menu_copy $((x0 + 20 * cell)) $((y0 + 6 * cell)) 2
check "the context menu's Copy as PETSCII" "$petscii" "$(gui_wait_clipboard "$petscii")"

# Buffer menu by keyboard: Stash (Save is disabled while the buffer is
# empty, so Down goes from Load to Stash), then View. (F4 would go to the
# board: while connected it is the C64's F4.)
buffer_menu() {
  gui_key alt+b
  gui_wait_popup_menu || { echo "the Buffer menu did not open"; return 1; }
  timeout 10 xdotool key --delay 50 "$@"
  gui_wait_no_popup_menu
}
buffer_menu Down Return
buffer_menu Down Down Down Return
view=$(gui_wait_window '^View Buffer$')
check "the Buffer menu opens the View window on the stashed session" 1 "$([ -n "$view" ] && echo 1 || echo 0)"
timeout 5 xdotool windowfocus --sync "$view" 2>/dev/null
# Where the session is in the View window, below its menu bar.
voffset=""
result=$(gui_wait_picture "$view" "$GUI_TMP/view.png" "$GUI_TMP/render.png")
[[ $result == *"differing 0"* ]] && { voffset=${result#offset }; voffset=${voffset% differing*}; }
vox=${voffset% *} voy=${voffset#* }
read -r vx vy < <(origin "$view" "$vox" "$voy")
# RED (reversed) and the two graphics: question marks in the ASCII copy.
select_cells "$view" "$vox" "$voy" 0 2 6 2 3 2
# The drag ends at the row's end, so the copies end with a row end.
red_ascii=$(hex 'RED ??\n')
gui_clipboard_set before
timeout 10 xdotool key alt+c
check "Alt+C in the View window" "$red_ascii" "$(gui_wait_clipboard "$red_ascii")"
gui_clipboard_set before
menu_copy $((vx + cell)) $((vy + 2 * cell + cell / 2)) 2
red_petscii=$(hex '\xc2\x8e\x12\x1cRED\xc2\x92 \xc2\xa6\\\r')
check "the View window's Copy as PETSCII" "$red_petscii" "$(gui_wait_clipboard "$red_petscii")"

# While connected, Ctrl+Q is the C64's C= + Q: the test's end closes the program.
gui_finish
