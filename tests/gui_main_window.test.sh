#!/usr/bin/env bash
# The main window's GUI tests on two screen sizes.
# Usage: gui_main_window.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
for screen in 1920x1080:1235 1600x1000:123; do
  gui_start "${screen%%:*}"
  gui_config ""
  MORLEN_EXPECT_SCALES=${screen##*:} "$build/tests/morlen_gui_tests" --gtest_filter='MainWindow.*' >"$GUI_TMP/out" 2>&1
  status=$?
  grep -E '^\[  (FAILED|PASSED) |Failure|Expected|Which is|  Actual' "$GUI_TMP/out" | head -40
  check "main window tests on ${screen%%:*}" 0 $status
  gui_stop; trap - EXIT
done
gui_finish
