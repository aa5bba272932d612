#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every tracked source file (C++, CMake, shell, Python, Makefiles) the
# licence's SPDX line as its first comment line, after a #! line and a
# Python coding line. Files that have it are left alone, so it can run again.
#   tools/add-spdx.sh [SOURCE_DIR]           adds the line where it is missing
#   tools/add-spdx.sh --check [SOURCE_DIR]   lists the files without it; fails if any
set -euo pipefail
readonly tag="SPDX-License-Identifier: GPL-3.0-or-later"
check=0
if [ "${1:-}" = --check ]; then check=1; shift; fi
cd "${1:-$(dirname "$0")/..}"

# comment_for FILE: the file's line-comment marker, or nothing when it is not source.
comment_for() {
  case "$1" in
    *.cpp | *.cc | *.c | *.h | *.hpp) echo "//" ;;
    *.sh | *.py | *.cmake | CMakeLists.txt | */CMakeLists.txt | Makefile | */Makefile) echo "#" ;;
    *) if head -n 1 "$1" | grep -qE '^#!.*(sh|bash|python3?)( |$)'; then echo "#"; fi ;;
  esac
}

# header_lines FILE: how many lines must stay above the SPDX line (0-2).
header_lines() {
  local n=0
  head -n 1 "$1" | grep -q '^#!' && n=1
  sed -n "$((n + 1))p" "$1" | grep -qE '^#.*coding[:=]' && n=$((n + 1))
  echo $n
}

scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT
missing=0
total=0
while IFS= read -r -d '' file; do
  [ -f "$file" ] && [ ! -L "$file" ] || continue
  marker=$(comment_for "$file")
  [ -n "$marker" ] || continue
  total=$((total + 1))
  keep=$(header_lines "$file")
  sed -n "$((keep + 1))p" "$file" | grep -qF "$tag" && continue
  if [ $check -eq 1 ]; then
    echo "no licence line: $file"
    missing=$((missing + 1))
    continue
  fi
  { head -n "$keep" "$file"; echo "$marker $tag"; tail -n "+$((keep + 1))" "$file"; } >"$scratch"
  cat "$scratch" >"$file"  # in place, so the file keeps its mode
  echo "added: $file"
done < <(git ls-files -z)

if [ $check -eq 1 ]; then
  echo "$total source files, $missing without the licence line"
  [ $missing -eq 0 ]
fi
