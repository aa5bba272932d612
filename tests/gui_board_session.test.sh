#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A board session as a board sends it, played by the local host to the real
# program: a message list that scrolls past a screen, the board's
# background colour (CTRL-B and a colour code), a clear-screen sent twice
# and a short menu. The window then shows the menu's screen from its top
# row, exactly the 25 rows morlen-petscii renders of the same stream, with
# the old screen kept above as scrollback. The PC cursor keys and Home,
# pressed on the X server, reach the board as the C64's cursor codes.
# Usage: gui_board_session.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000

session="$GUI_TMP/board.seq"
python3 - "$session" <<'PY'
import sys
UPPER, CLR, RET, RVS, RVS_OFF = b"\x8e", b"\x93", b"\x0d", b"\x12", b"\x92"
WHITE, YELLOW, CYAN, GREEN, GREY, ORANGE = b"\x05", b"\x9e", b"\x9f", b"\x99", b"\x9b", b"\x81"
BACKGROUND_DARK_GREY = b"\x02\x97"
s = UPPER + CLR + WHITE + RVS + b" HARBOUR LIGHT - MESSAGE BASE " + RVS_OFF + RET + RET
for n in range(1, 36):
    s += (CYAN if n % 2 else GREY) + b"#%03d " % n + WHITE + b"FROM SYSOP" + ORANGE + b" RE: TIDES %d" % n + RET
s += GREEN + b"END OF MESSAGES." + RET
# The board's menu: its own background, a clear-screen twice, six rows.
s += BACKGROUND_DARK_GREY + CLR + CLR
s += YELLOW + RVS + b" MAIN MENU " + RVS_OFF + RET + RET
s += CYAN + b"[M] MESSAGES" + RET + b"[F] FILES" + RET + b"[G] GOODBYE" + RET + RET
s += GREEN + b"COMMAND: "
open(sys.argv[1], "wb").write(s)
PY

"$build/morlen-host" --port 0 --script "$session" --record "$GUI_TMP/typed" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
port=""
for _ in $(seq 50); do port=$(sed -n 's/^port //p' "$GUI_TMP/host.out"); [ -n "$port" ] && break; sleep 0.1; done
check "the host listens" 1 "$([ -n "$port" ] && echo 1 || echo 0)"
# The entry's own colours: white text on blue until the board sets its background.
gui_config "{\"addressBookEntry\":\"1\",\"name\":\"Harbour Light\",\"description\":\"\",\"address\":\"127.0.0.1\",\"port\":$port,\"background\":6,\"foreground\":1,\"echo\":false,\"columns\":40,\"screenshot\":\"\"}"

gui_run_program "$build" || exit 1
gui_connect_first_entry || exit 1

"$build/morlen-petscii" render --scale 2 --colour 1 --background 6 "$session" "$GUI_TMP/render.png"
read -r rows top cursor_row cursor_column < <("$build/morlen-petscii" dump --summary "$session" | awk '{print $2, $4, $6, $7}')
check "the stream ends on a short screen below the old one" "47 40 46 9" "$rows $top $cursor_row $cursor_column"
result=$(gui_wait_picture "$GUI_WINDOW" "$GUI_TMP/window.png" "$GUI_TMP/render.png" \
  --ignore-cell "$cursor_column" $((cursor_row - top)) 2)
echo "$result"
check "the window shows the menu's screen from its top row, as rendered" "differing 0" \
  "$(grep -o 'differing [0-9]*' <<<"$result")"
check "the screen starts at the canvas's left edge" "offset 0" "$(grep -o 'offset [0-9]*' <<<"$result")"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"

# The scroll wheel reaches the old screen: scrolled to the top, the window
# shows the first 25 rows as they were, the separator of the board's first
# clear-screen above them, on the background the board set last (it is the
# whole screen's).
head -c "$(python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); print(d.index(b"#023"))' "$session")" "$session" \
  >"$GUI_TMP/first-rows.seq"
"$build/morlen-petscii" render --all --scale 2 --colour 1 --background 11 "$GUI_TMP/first-rows.seq" "$GUI_TMP/first-rows.png"
check "the first rows make 25" "400" "$(identify -format '%h' "$GUI_TMP/first-rows.png")"
eval "$(xdotool getwindowgeometry --shell "$GUI_WINDOW")"
xdotool mousemove $((X + 300)) $((Y + 200)) click --repeat 30 --delay 20 4
deadline=$((SECONDS + 30))
while :; do
  timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/scrolled.png"
  result=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/scrolled.png" "$GUI_TMP/first-rows.png")
  [[ $result == *"differing 0"* || $SECONDS -ge $deadline ]] && break
  sleep 0.2
done
echo "$result"
check "the old screen is scrollback above" "differing 0" "$(grep -o 'differing [0-9]*' <<<"$result")"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/scrolled.png" "${GUI_KEEP_SCREENSHOT%.png}-scrolled.png"

gui_key Up Down Left Right Home shift+Home
for _ in $(seq 50); do [ "$(wc -c <"$GUI_TMP/typed" 2>/dev/null)" -ge 6 ] && break; sleep 0.1; done
check "cursor keys and Home reach the board" "91119d1d1393" "$(od -An -tx1 "$GUI_TMP/typed" | tr -d ' \n')"
gui_finish
