#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs GUI test suites of morlen_gui_tests under their own Xvfb, in a
# private network namespace, once per screen size.
# Usage: gui_run.sh BUILD_DIR SOURCE_DIR GTEST_FILTER SCREEN[:EXPECTED_SCALES]...
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd); filter=$3; shift 3
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$build" "$source_dir" "$filter" "$@"
for screen in "$@"; do
  gui_start "${screen%%:*}"
  gui_config ""
  expected=""
  [[ $screen == *:* ]] && expected=${screen##*:}
  MORLEN_EXPECT_SCALES=$expected "$build/tests/morlen_gui_tests" --gtest_filter="$filter" >"$GUI_TMP/out" 2>&1
  status=$?
  grep -E '^\[  (FAILED|PASSED) |Failure|Expected|Which is|  Actual|Value of' "$GUI_TMP/out" | head -60
  check "$filter on ${screen%%:*}" 0 $status
  gui_stop; trap - EXIT
done
gui_finish
