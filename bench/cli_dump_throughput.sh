#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-process throughput of `morlen-petscii dump --summary` on 64 MiB of
# ordinary board output (see flood_streams.py), best of three runs, with the
# process's peak memory per input byte. Compare with the in-process
# "ordinary board output" figure of bench/interpreter_bench.
# Usage: bench/cli_dump_throughput.sh BUILD_DIR [BUILD_DIR...] [-- KIND MIB]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
builds=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do builds+=("$1"); shift; done
[ $# -gt 0 ] && shift
kind=${1:-ordinary}
mib=${2:-64}
[ ${#builds[@]} -gt 0 ] || { echo "usage: $0 BUILD_DIR [BUILD_DIR...] [-- KIND MIB]" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$here/flood_streams.py" "$kind" "$mib" "$tmp/stream.seq"
size=$(stat -c %s "$tmp/stream.seq")
cat "$tmp/stream.seq" >/dev/null  # in the page cache for every run

for build in "${builds[@]}"; do
  best=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$tmp/time" "$build/morlen-petscii" dump --summary "$tmp/stream.seq" >"$tmp/out"
    read -r seconds kib <"$tmp/time"
    if [ -z "$best" ] || awk "BEGIN{exit !($seconds < $best)}"; then best=$seconds; peak=$kib; fi
  done
  awk -v b="$build" -v s="$best" -v k="$peak" -v n="$size" -v kind="$kind" -v out="$(cat "$tmp/out")" 'BEGIN {
    printf "%s: dump --summary of %.0f MiB %s output: %.2f s, %.0f MB/s, peak %.0f MB (%.2f B per input byte) [%s]\n",
      b, n / 1048576, kind, s, (s > 0 ? n / 1048576 / s : 0), k / 1024, k * 1024 / n, out }'
done
