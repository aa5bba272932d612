#!/usr/bin/env bash
# Black-box checks of morlen-petscii dump: arguments, input sources, exit codes.
# Usage: petscii_cli.test.sh BUILD_DIR SOURCE_DIR
set -u
tool=$1/morlen-petscii
golden=$2/tests/golden
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2] got [$3]"; failures=$((failures + 1)); fi
}

"$tool" --help >"$tmp/out" 2>&1; check "--help exits 0" 0 $?
grep -q 'dump' "$tmp/out"; check "--help names dump" 0 $?
"$tool" dump --help >/dev/null 2>&1; check "dump --help exits 0" 0 $?
check "--version" "morlen-petscii 1.0.0" "$("$tool" --version)"

for bad in "dump" "dump --colour" "dump --colour 16 $golden/basic.seq" "dump --colour x $golden/basic.seq" \
           "dump --bogus $golden/basic.seq" "frobnicate" "" "dump $tmp/missing.seq" "dump $tmp" \
           "dump $golden/basic.seq $golden/basic.seq"; do
  # shellcheck disable=SC2086
  "$tool" $bad >"$tmp/out" 2>"$tmp/err"; status=$?
  check "'$bad' exits 2" 2 $status
  check "'$bad' says one line" 1 "$(wc -l <"$tmp/err")"
  check "'$bad' prints nothing on stdout" 0 "$(wc -c <"$tmp/out")"
done

check "standard input" "$(cat "$golden/basic.dump")" "$("$tool" dump - <"$golden/basic.seq")"
check "file" "$(cat "$golden/basic.dump")" "$("$tool" dump "$golden/basic.seq")"
check "summary" "$(head -1 "$golden/basic.dump")" "$("$tool" dump --summary "$golden/basic.seq")"
check "colour" "0 - E341:3" "$(printf '\x12A' | "$tool" dump --colour 3 - | sed -n 2p)"
check "fixed" "rows 25 top 0 cursor 24 1" "$(printf '\x0d%.0s' $(seq 30) | { cat; printf A; } | "$tool" dump --fixed --summary -)"
check "empty" "rows 0 top 0 cursor 0 0" "$("$tool" dump - </dev/null)"
printf 'rows 1 top 0 cursor 0 0\n0 -\n' >"$tmp/expected"
check "row without cells" "$(cat "$tmp/expected")" "$(printf 'A\x14' | "$tool" dump -)"

echo "$failures failed"
[ $failures -eq 0 ]
