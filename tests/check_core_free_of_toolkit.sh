#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: check_core_free_of_toolkit.sh ROOT SOURCE...
# Fails when a core source, or a header in the same folders, includes a wx header.
root=$1; shift
status=0
for src in "$@"; do
  for f in "$src" "${src%.cpp}.h"; do
    [ -f "$f" ] || continue
    if grep -nE '^\s*#\s*include\s*[<"]wx/' "$f"; then
      echo "toolkit include in core file: ${f#$root/}"
      status=1
    fi
  done
done
exit $status
