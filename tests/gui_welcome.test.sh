#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program starts with its welcome screen; the canvas shows exactly the
# pixels morlen-petscii render makes of it. Quitting rewrites the
# configuration. A first run writes the built-in address book before the
# window shows.
# Usage: gui_welcome.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
gui_config ""

gui_run_program "$build" || exit 1
timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
"$build/morlen-petscii" render --scale 2 "$source_dir/resources/welcome_screen.seq" "$GUI_TMP/render.png"
cursor=$("$build/morlen-petscii" dump --summary "$source_dir/resources/welcome_screen.seq" | awk '{print $7, $6}')
result=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/window.png" "$GUI_TMP/render.png" --ignore-cell $cursor 2)
echo "$result"
check "canvas shows the rendered welcome screen" "differing 0" "$(echo "$result" | grep -o 'differing [0-9]*')"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"

before=$(stat -c %Y.%s "$GUI_CONFIG" 2>/dev/null)
sleep 1.1
gui_quit
check "quitting ends the program" 0 $?
after=$(stat -c %Y.%s "$GUI_CONFIG" 2>/dev/null)
check "quitting rewrites the configuration" 1 "$([ "$before" != "$after" ] && echo 1 || echo 0)"
python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$GUI_CONFIG"
check "the configuration written at exit is JSON" 0 $?

# First run: no configuration at all.
rm -f "$GUI_CONFIG"
gui_run_program "$build" || exit 1
entries=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["addressBook"]))' "$GUI_CONFIG" 2>&1)
check "a first run has written the four built-in entries when the window shows" 4 "$entries"
gui_quit
check "the first run ends" 0 $?
# A configuration without a usable version is replaced the same way.
printf '{"morlenConfig":0,"autoCheckForUpdate":false,"addressBook":[]}' >"$GUI_CONFIG"
gui_run_program "$build" || exit 1
entries=$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["addressBook"]))' "$GUI_CONFIG" 2>&1)
check "version 0 is treated as no configuration" 4 "$entries"
gui_quit
check "that run ends" 0 $?
gui_finish
