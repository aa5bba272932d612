#!/usr/bin/env bash
# The canvas's selection, copies and screenshots under real mouse events.
# Usage: gui_canvas.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
gui_config ""
"$build/tests/morlen_gui_tests" --gtest_filter='Canvas.*' >"$GUI_TMP/out" 2>&1
status=$?
grep -E '^\[  (FAILED|PASSED) |Failure|Expected|Which is|  Actual' "$GUI_TMP/out" | head -60
check "canvas tests" 0 $status
gui_finish
