#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the metadata's screenshot: the real main window on a first start
# (default settings, the built-in address book, the welcome screen), on a
# private Xvfb display, without a window manager's frame.
# Usage: tools/capture-screenshot.sh [BUILD_DIR] [OUT.png]
# Then commit packaging/screenshots/main-window.png.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$source_dir/build}" && pwd)
out=$(realpath -m "${2:-$source_dir/packaging/screenshots/main-window.png}")
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000
gui_config "" 2
gui_run_program "$build"
timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
gui_quit
# The smallest file: no time stamps, best compression.
mkdir -p "$(dirname "$out")"
convert "$GUI_TMP/window.png" -strip -define png:compression-level=9 "$out"
identify -format '%wx%h %f\n' "$out"
