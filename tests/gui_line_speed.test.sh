#!/usr/bin/env bash
# A board shown at 1200 bps, as a modem of its day would deliver it: the
# local host sends a 480-byte screen (a clear-screen and twelve rows of
# letters less one cell) at once to the real program, whose entry asks for
# 1200 bps, 120 bytes a second. About two seconds after connecting the
# window shows about half of it, exactly the first bytes as morlen-petscii
# renders them; the whole screen appears only about four seconds in.
# Usage: gui_line_speed.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000

readonly SIZE=480 HALF_SECONDS=2 SCALE=2
screen="$GUI_TMP/screen.seq"
python3 - "$screen" "$SIZE" <<'PY'
import sys
size = int(sys.argv[2])
letters = bytes(0x41 + i % 26 for i in range(size - 1))
open(sys.argv[1], "wb").write(b"\x93" + letters)
PY

"$build/morlen-host" --port 0 --script "$screen" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
port=""
for _ in $(seq 50); do port=$(sed -n 's/^port //p' "$GUI_TMP/host.out"); [ -n "$port" ] && break; sleep 0.1; done
check "the host listens" 1 "$([ -n "$port" ] && echo 1 || echo 0)"
gui_config "{\"addressBookEntry\":\"1\",\"name\":\"Slow Board\",\"description\":\"\",\"address\":\"127.0.0.1\",\"port\":$port,\"background\":6,\"foreground\":1,\"echo\":false,\"columns\":40,\"lineSpeed\":1200,\"screenshot\":\"\"}" "$SCALE"

render() {  # render BYTES OUT.png: the screen after the first BYTES bytes
  head -c "$1" "$screen" >"$GUI_TMP/prefix.seq"
  "$build/morlen-petscii" render --scale "$SCALE" --colour 1 --background 6 "$GUI_TMP/prefix.seq" "$2"
}
render "$SIZE" "$GUI_TMP/whole.png"
now() { date +%s.%N; }
seconds_since() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.2f}')" "$1" "$2"; }
# take_shot: a screenshot; SHOT_AT is when it was taken and SHOWN the bytes
# on it (the cells drawn in order, the clear-screen and the cell the cursor
# stands on).
take_shot() {
  timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
  SHOT_AT=$(now)
  local leading
  leading=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$GUI_TMP/whole.png" \
    --leading-cells "$SCALE" | sed -n 's/.*leading //p')
  SHOWN=$(( ${leading:--1} + 1 ))
}
# matches BYTES: the window shows exactly the screen of the first BYTES bytes.
matches() {
  render "$1" "$GUI_TMP/prefix.png"
  local cursor=$(( $1 - 1 ))
  python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$GUI_TMP/prefix.png" \
    --ignore-cell $((cursor % 40)) $((cursor / 40)) "$SCALE" | grep -o 'differing [0-9]*'
}

gui_run_program "$build" || exit 1
gui_key F7
book=$(gui_wait_window '^Address Book$') || { echo "F7 did not open the address book"; exit 1; }
timeout 5 xdotool windowfocus --sync "$book" 2>/dev/null
timeout 5 xdotool key Home
start=$(now)
timeout 5 xdotool key Return

# The first moment: about two seconds in.
sleep "$(python3 -c "import sys, time; print(max(0, float(sys.argv[1]) + $HALF_SECONDS - time.time()))" "$start")"
take_shot
half=$SHOWN
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"
echo "after $(seconds_since "$start" "$SHOT_AT") s: $half of $SIZE bytes shown"
check "about half the screen is drawn after about two seconds" 1 \
  "$([ "$half" -ge 150 ] && [ "$half" -le 260 ] && echo 1 || echo 0)"
check "what is drawn is the first bytes, as rendered" "differing 0" "$(matches "$half")"

# The second moment: the whole screen, waited for.
SHOWN=0
while [ "$SHOWN" -lt "$SIZE" ] && [ "$(seconds_since "$start" "$(now)" | cut -d. -f1)" -lt 15 ]; do
  take_shot
done
took=$(seconds_since "$start" "$SHOT_AT")
echo "the whole screen after $took s"
check "the whole screen is drawn" "differing 0" "$(matches "$SIZE")"
check "the whole screen takes about four seconds" 1 \
  "$(python3 -c "import sys; print(int(3.8 <= float(sys.argv[1]) <= 6.5))" "$took")"
gui_quit
gui_finish
