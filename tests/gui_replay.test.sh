#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The buffer view and replay windows' GUI tests, then a picture of a finished
# simulated replay compared pixel by pixel with morlen-petscii's render of
# the same bytes on a fixed screen.
# Usage: gui_replay.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
gui_config ""

mkdir -p "$GUI_TMP/shot"
MORLEN_REPLAY_SHOT="$GUI_TMP/shot" "$build/tests/morlen_gui_tests" --gtest_filter='Replay*' >"$GUI_TMP/out" 2>&1
status=$?
grep -E '^\[  (FAILED|PASSED|SKIPPED) |Failure|Expected|Which is|  Actual' "$GUI_TMP/out" | head -60
check "replay window tests" 0 $status

"$build/morlen-petscii" render --fixed --colour 15 --scale 2 "$GUI_TMP/shot/replay.seq" "$GUI_TMP/render.png"
result=$(python3 "$source_dir/tests/compare_canvas.py" "$GUI_TMP/shot/replay.png" "$GUI_TMP/render.png")
echo "$result"
check "the simulated replay shows the rendered fixed screen" "differing 0" "$(echo "$result" | grep -o 'differing [0-9]*')"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/shot/replay.png" "$GUI_KEEP_SCREENSHOT"
gui_finish
