#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole journey a user makes: start the program, F7 opens the address
# book, Enter on the local host's entry connects, and the host's screen
# appears in the terminal, pixel for pixel as morlen-petscii renders it.
# What the user types then reaches the host.
# Usage: gui_journey.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
screen="$source_dir/tests/golden/basic.seq"

"$build/morlen-host" --port 0 --script "$screen" --record "$GUI_TMP/typed" --write-config "$HOME/.config" \
  >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
for _ in $(seq 50); do grep -q '^port ' "$GUI_TMP/host.out" && [ -s "$GUI_CONFIG" ] && break; sleep 0.1; done
check "the host wrote a configuration with its entry" 1 "$(grep -c 'Morlen demo host' "$GUI_CONFIG")"

gui_run_program "$build" || exit 1
gui_key F7
book=""
for _ in $(seq 100); do
  book=$(timeout 5 xdotool search --onlyvisible --name '^Address Book$' 2>/dev/null | head -1)
  [ -n "$book" ] && break
  sleep 0.1
done
check "F7 opens the address book" 1 "$([ -n "$book" ] && echo 1 || echo 0)"
timeout 5 xdotool windowfocus --sync "$book" 2>/dev/null
timeout 10 xdotool key --delay 50 Home Return
gone=0
for _ in $(seq 100); do
  timeout 5 xdotool search --onlyvisible --name '^Address Book$' >/dev/null 2>&1 || { gone=1; break; }
  sleep 0.1
done
check "Enter on the entry closes the address book" 1 "$gone"

# The window shows the host's screen from its top row, as render draws it.
"$build/morlen-petscii" render --scale 2 --colour 15 "$screen" "$GUI_TMP/render.png"
cursor=$("$build/morlen-petscii" dump --summary "$screen" | awk '{print $7, $6 - $4}')
result=$(gui_wait_picture "$GUI_WINDOW" "$GUI_TMP/window.png" "$GUI_TMP/render.png" --ignore-cell $cursor 2)
echo "$result"
check "the host's screen is in the terminal" "differing 0" "$(echo "$result" | grep -o 'differing [0-9]*')"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"

gui_key h i Return
for _ in $(seq 50); do [ "$(wc -c <"$GUI_TMP/typed" 2>/dev/null)" -ge 3 ] && break; sleep 0.1; done
check "typed keys reach the host as PETSCII" "48490d" "$(od -An -tx1 "$GUI_TMP/typed" | tr -d ' \n')"
# While connected, Ctrl+Q is the C64's C= + Q: the test's end closes the program.
gui_finish
