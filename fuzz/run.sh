#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz target built in FUZZ_BUILD_DIR for SECONDS each, from its
# corpus (kept between runs) and the seeds make_seeds.py writes. A crash, a
# sanitizer report, a broken invariant, a slow input or too much memory is a
# finding: it is kept under FUZZ_BUILD_DIR/findings/ and fails the run.
# Usage: run.sh FUZZ_BUILD_DIR SECONDS
set -u
build=$(cd "$1" && pwd); seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seeds=$build/seeds
rm -rf "$seeds"
python3 "$source_dir/fuzz/make_seeds.py" "$source_dir" "$seeds" || exit 1
mkdir -p "$build/findings" "$build/logs"

# A unit slower than this, or a process larger than this, is a finding.
unit_timeout_s=10
rss_limit_mb=2048

stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -1; }

failed=()
printf '%-22s %10s %8s %7s  %s\n' target runs exec/s corpus result
for target in "$build"/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=$build/corpus/$name
  log=$build/logs/$name.log
  mkdir -p "$corpus"
  extra=()
  [ -d "$seeds/$name" ] && extra=("$seeds/$name")
  "$target" -max_total_time="$seconds" -timeout=$unit_timeout_s -rss_limit_mb=$rss_limit_mb \
    -print_final_stats=1 -artifact_prefix="$build/findings/$name-" "$corpus" "${extra[@]}" >"$log" 2>&1
  status=$?
  result=ok
  if [ $status -ne 0 ]; then
    result="FINDING (exit $status, see $log)"
    failed+=("$name")
  fi
  printf '%-22s %10s %8s %7s  %s\n' "$name" "$(stat number_of_executed_units "$log")" \
    "$(stat average_exec_per_sec "$log")" "$(ls "$corpus" | wc -l)" "$result"
done

if [ ${#failed[@]} -gt 0 ]; then
  for name in "${failed[@]}"; do
    echo "== $name"
    log=$build/logs/$name.log
    # A broken invariant names itself; a sanitizer's report needs its stack.
    grep -m1 'invariant broken' "$log" || grep -m1 -A12 -E '^==[0-9]+== ?ERROR' "$log"
    grep -E '^SUMMARY|Test unit written to' "$log"
  done
  echo "findings in $build/findings/: ${failed[*]}"
  exit 1
fi
