#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Edit menu from outside the program. Connected to morlen-host, three
# lines that another X client (xclip) put on the clipboard are pasted with
# Ctrl+Shift+V: the host's record holds them as a C64 user would have typed
# them, for the character set the screen shows, at about 30 characters a
# second with a pause after each RETURN. Then Select All and Copy as
# PETSCII: the clipboard offers the bytes as Latin-1 under STRING and as
# UTF-8 under the other text formats. Copy Screen as Picture with the
# border gives the pixels `morlen-petscii render --border 14` draws.
# Usage: gui_paste.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
board="$GUI_TMP/board.seq"
# A menu in the lower/upper case set, a reversed title and a graphic row.
printf '\x93\x0e\x05\x12 Message Base \x92\r\x9e\xa6\xa6\xa6\xa6\r\x05Your message:\r' >"$board"
"$build/morlen-host" --port 0 --script "$board" --record "$GUI_TMP/typed" \
  --write-config "$HOME/.config" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
for _ in $(seq 50); do grep -q '^port ' "$GUI_TMP/host.out" && [ -s "$GUI_CONFIG" ] && break; sleep 0.1; done
gui_run_program "$build" || exit 1
gui_connect_first_entry || exit 1
: >"$GUI_TMP/typed"

hex() { printf "$1" | od -An -tx1 -v | tr -d ' \n'; }
# Capitals take SHIFT in the lower/upper case set (the screen's from the
# start); the tab goes to column 8; the euro sign has no PETSCII character.
printf 'Hello, World!\nsecond\tline\r\nThird: 3 < 4 \xe2\x82\xac\n' | timeout 5 xclip -i -selection clipboard
expected=$(hex '\xc8ELLO, \xd7ORLD!\rSECOND  LINE\r\xd4HIRD: 3 < 4 \r')
# Each change of the record's size with its time, until it holds them all,
# watched from before the keys go down.
python3 - "$GUI_TMP/typed" $((${#expected} / 2)) >"$GUI_TMP/arrivals" <<'PY' &
import os, sys, time
path, want = sys.argv[1], int(sys.argv[2])
size, deadline = 0, time.monotonic() + 20
while size < want and time.monotonic() < deadline:
    now = os.path.getsize(path)
    if now != size:
        print(f"{time.monotonic():.4f} {now}")
        size = now
    time.sleep(0.005)
PY
watcher=$!
gui_key ctrl+shift+v
wait $watcher
got=$(od -An -tx1 -v "$GUI_TMP/typed" | tr -d ' \n')
check "the pasted lines as a C64 user types them" "$expected" "$got"
# Pacing, as far as polling a file can tell it on a busy machine: the
# span from the first byte to the last (30 characters a second and two
# pauses of 0.3 s, less what a late first sighting or the pace making up a
# stall can take off) and the gap after each RETURN.
pacing=$(python3 - "$GUI_TMP/arrivals" "$GUI_TMP/typed" <<'PY'
import sys
arrivals = [tuple(map(float, line.split())) for line in open(sys.argv[1])]
data = open(sys.argv[2], "rb").read()
times = []  # the time each byte was first seen
for t, size in arrivals:
    times += [t] * (int(size) - len(times))
n, span = len(times), times[-1] - times[0]
paced = (n - 1) / 30 + 2 * 0.3
pauses = [times[i + 1] - times[i] for i in range(n - 1) if data[i] == 0x0D]
print("span", "ok" if paced - 0.5 <= span <= 3 * paced + 1 else f"{span:.2f}s for {n}",
      "pauses", "ok" if min(pauses) >= 0.2 else f"{min(pauses):.3f}s")
PY
)
check "about 30 characters a second, a pause after each RETURN" "span ok pauses ok" "$pacing"

# edit_menu KEY: Alt+E, then the item with that mnemonic.
edit_menu() {
  gui_key alt+e
  gui_wait_popup_menu || { echo "the Edit menu did not open"; return 1; }
  timeout 10 xdotool key "$1"
  gui_wait_no_popup_menu
}
gui_key ctrl+shift+a
edit_menu e
# The first row: the set, reverse and colour, " Message Base " reversed, RETURN.
petscii='\x0e\x12\x05 Message Base \r'
latin1=$(hex "$petscii")
check "Select All, Copy as PETSCII: Latin-1 under STRING" "$latin1" \
  "$(for _ in $(seq 50); do got=$(timeout 5 xclip -o -selection clipboard -t STRING | od -An -tx1 -v | tr -d ' \n')
       [[ $got == "$latin1"* ]] && break; sleep 0.1; done; echo "${got:0:${#latin1}}")"
utf8=$(printf "$petscii" | iconv -f latin1 -t utf-8 | od -An -tx1 -v | tr -d ' \n')
for target in UTF8_STRING 'text/plain;charset=utf-8' TEXT; do
  got=$(timeout 5 xclip -o -selection clipboard -t "$target" | od -An -tx1 -v | tr -d ' \n')
  check "the same bytes as UTF-8 under $target" "$utf8" "${got:0:${#utf8}}"
done

"$build/morlen-petscii" render --scale 2 --colour 15 --border 14 "$board" "$GUI_TMP/bordered.png"
edit_menu b
edit_menu i
pixels=""
for _ in $(seq 50); do
  timeout 5 xclip -o -selection clipboard -t image/png >"$GUI_TMP/clip.png" 2>/dev/null
  pixels=$(compare -metric AE "$GUI_TMP/clip.png" "$GUI_TMP/bordered.png" null: 2>&1)
  [ "$pixels" == 0 ] && break
  sleep 0.1
done
check "Copy Screen as Picture with the border: the render's pixels" 0 "$pixels"
gui_finish
