#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Black-box checks of morlen-petscii: arguments, input sources, exit codes,
# the character set to start in, the border, and every glyph as rendered.
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
           "dump --background 16 $golden/basic.seq" "render --background $golden/basic.seq $tmp/out.png" \
           "dump --bogus $golden/basic.seq" "frobnicate" "" "dump $tmp/missing.seq" "dump $tmp" \
           "dump $golden/basic.seq $golden/basic.seq" "dump --charset $golden/basic.seq" \
           "dump --charset graphics $golden/basic.seq" "dump --border 14 $golden/basic.seq" \
           "render --border 16 $golden/basic.seq $tmp/out.png" "render --border $golden/basic.seq $tmp/out.png" \
           "chart --border 14 $tmp/out.png"; do
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
# The background: given, then set by CTRL-B and a colour code; black is not named.
check "background" "rows 1 top 0 cursor 0 1 background 6" "$(printf 'A' | "$tool" dump --background 6 --summary -)"
check "background set by the stream" "rows 1 top 0 cursor 0 1 background 11" \
  "$(printf '\x02\x97A' | "$tool" dump --background 6 --summary -)"
check "black background" "rows 1 top 0 cursor 0 1" "$(printf '\x02\x90A' | "$tool" dump --background 6 --summary -)"
printf '\x02\x9e\x90\x12 ' | "$tool" render --scale 1 - "$tmp/yellow.png"
check "render on the background" "#EAEA76 #000000" \
  "$(convert "$tmp/yellow.png" -format '%[hex:p{319,199}] %[hex:p{0,0}]' info: | sed 's/\([0-9A-F]\{6\}\)/#\1/g')"
check "fixed" "rows 25 top 0 cursor 24 1" "$(printf '\x0d%.0s' $(seq 30) | { cat; printf A; } | "$tool" dump --fixed --summary -)"
check "empty" "rows 0 top 0 cursor 0 0" "$("$tool" dump - </dev/null)"
printf 'rows 1 top 0 cursor 0 0\n0 -\n' >"$tmp/expected"
check "row without cells" "$(cat "$tmp/expected")" "$(printf 'A\x14' | "$tool" dump -)"

# The set before the first byte: a C64 starts in upper case/graphics.
check "charset upper" "0 - E041:14 E073:14" "$(printf 'As' | "$tool" dump --charset upper - | sed -n 2p)"
check "charset lower is the default" "$(printf 'As' | "$tool" dump -)" "$(printf 'As' | "$tool" dump --charset lower -)"
check "charset switch still works" "0 - E141:14" "$(printf 'A\x0e' | "$tool" dump --charset upper - | sed -n 2p)"

# The border: 32 pixels at the sides and 36 above and below, times the scale,
# around exactly the picture render draws without it.
"$tool" render --scale 3 --border 2 "$golden/basic.seq" "$tmp/framed.png"; check "render --border exits 0" 0 $?
"$tool" render --scale 3 "$golden/basic.seq" "$tmp/plain.png"
check "bordered size" "1152 816" "$(identify -format '%w %h' "$tmp/framed.png")"
check "border colour" "#823339 #823339 #823339" \
  "$(convert "$tmp/framed.png" -format '%[hex:p{0,0}] %[hex:p{95,407}] %[hex:p{1151,815}]' info: | sed 's/\([0-9A-F]\{6\}\)/#\1/g')"
check "screen inside the border" "offset 96 108 differing 0" \
  "$(python3 "$2/tests/compare_canvas.py" "$tmp/framed.png" "$tmp/plain.png")"

# Every screen code of both sets, normal and reversed, pixel for pixel.
for set in upper lower; do
  result=$(python3 "$2/tests/check_glyph_render.py" "$tool" "$2/resources/glyphs/$set.txt" $set)
  check "$set set as rendered" "$set: 0 of 256 cells differ" "$(tail -1 <<<"$result")"
done

# A picture that does not fit on a full disk (a 64 KiB file system of its
# own, which needs a private mount namespace): exit 1 with the reason, the
# picture there before stays whole and nothing is left beside it.
mkdir "$tmp/full"
if unshare -m true 2>/dev/null; then
  result=$(unshare -m bash -c 'mount -t tmpfs -o size=64k tmpfs "$1" && cd "$1" && printf old >chart.png &&
    { "$2" chart --scale 8 chart.png 2>err; echo "exit $?"; cat err; cat chart.png; echo; ls -A; }' _ \
    "$tmp/full" "$(realpath "$tool")")
  check "full disk" "exit 1
morlen-petscii: Could not save chart.png: the disk is full. Any file already there is unchanged.
old
chart.png
err" "$result"
else
  echo "skip full disk: no mount namespace"
fi

echo "$failures failed"
[ $failures -eq 0 ]
