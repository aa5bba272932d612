#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A board shown at 1200 bps, 120 bytes a second, as a modem of its day
# would deliver it: the local host sends a 480-byte screen (a clear-screen
# and twelve rows of letters less one cell) at once to the real program,
# whose entry asks for 1200 bps. About two seconds after connecting the
# window shows about half of it, exactly the first bytes as morlen-petscii
# renders them; the whole screen appears only about four seconds in.
# Usage: gui_line_speed.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000

readonly SIZE=480 SCALE=2
screen="$GUI_TMP/screen.seq"
python3 -c "import sys; open(sys.argv[1], 'wb').write(b'\x93' + bytes(0x41 + i % 26 for i in range(int(sys.argv[2]))))" \
  "$screen" $((SIZE - 1))
"$build/morlen-host" --port 0 --script "$screen" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
port=""
for _ in $(seq 50); do port=$(sed -n 's/^port //p' "$GUI_TMP/host.out"); [ -n "$port" ] && break; sleep 0.1; done
gui_config "{\"addressBookEntry\":\"1\",\"name\":\"Slow Board\",\"address\":\"127.0.0.1\",\"port\":$port,\"background\":6,\"foreground\":1,\"lineSpeed\":1200}" "$SCALE"

render() {  # render BYTES OUT.png: the screen after the first BYTES bytes
  head -c "$1" "$screen" >"$GUI_TMP/prefix.seq"
  "$build/morlen-petscii" render --scale "$SCALE" --colour 1 --background 6 "$GUI_TMP/prefix.seq" "$2"
}
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }'; }
# take_shot: a screenshot; SHOT_AT is its time since connecting, SHOWN the
# bytes on it (the cells drawn in order, the clear-screen, the cursor's).
take_shot() {
  timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
  SHOT_AT=$(since "$start")
  local leading
  leading=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$GUI_TMP/whole.png" \
    --leading-cells "$SCALE" | sed -n 's/.*leading //p')
  SHOWN=$((${leading:--1} + 1))
}
# matches BYTES: the last screenshot is the screen of the first BYTES bytes.
matches() {
  render "$1" "$GUI_TMP/prefix.png"
  python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$GUI_TMP/prefix.png" \
    --ignore-cell $((($1 - 1) % 40)) $((($1 - 1) / 40)) "$SCALE" | grep -o 'differing [0-9]*'
}
render "$SIZE" "$GUI_TMP/whole.png"

gui_run_program "$build" || exit 1
gui_key F7
book=$(gui_wait_window '^Address Book$') || { echo "F7 did not open the address book"; exit 1; }
timeout 5 xdotool windowfocus --sync "$book" 2>/dev/null
timeout 5 xdotool key Home
start=$EPOCHREALTIME
timeout 5 xdotool key Return

sleep "$(awk -v s="$(since "$start")" 'BEGIN { print (s < 2 ? 2 - s : 0) }')"
take_shot
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"
echo "after $SHOT_AT s: $SHOWN of $SIZE bytes shown"
check "about half the screen is drawn after about two seconds" 1 "$((SHOWN >= 150 && SHOWN <= 260))"
check "what is drawn is the first bytes, as rendered" "differing 0" "$(matches "$SHOWN")"

while [ "$SHOWN" -lt "$SIZE" ] && [ "$(since "$start" | cut -d. -f1)" -lt 15 ]; do take_shot; done
echo "the whole screen after $SHOT_AT s"
check "the whole screen is drawn" "differing 0" "$(matches "$SIZE")"
check "the whole screen takes about four seconds" 1 "$(awk -v s="$SHOT_AT" 'BEGIN { print (s >= 3.8 && s <= 6.5) }')"
gui_quit
gui_finish
