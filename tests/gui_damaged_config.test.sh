#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program started on a damaged configuration (a comment line, a
# fractional scale, null for a boolean, a port out of range) keeps every
# board, writes the file back in its own layout with defaults for the bad
# values, keeps the user's bytes beside it, and says so in the status bar:
# read from the screen, and in full from the tooltip the field shows under
# the pointer. The next start finds a sound file and says nothing.
# Usage: gui_damaged_config.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000

entry() {  # entry NAME PORT
  printf '{"addressBookEntry":"1","name":"%s","description":"","address":"%s.example","port":%s,"background":0,"foreground":15,"echo":false,"columns":40,"screenshot":""}' \
    "$1" "$1" "$2"
}
{
  printf '// my boards\n'
  printf '{"morlenConfig":1,"petsciiScale":2.5,"keyboardMap":2,"dialogOnReceived":null,"autoCheckForUpdate":false,"addressBook":['
  printf '%s,%s,%s,%s,%s]}' "$(entry Alpha 6400)" "$(entry Bravo 99999)" "$(entry Charlie 6402)" \
    "$(entry Delta 6403)" "$(entry Echo 6404)"
} >"$GUI_CONFIG"
cp "$GUI_CONFIG" "$GUI_TMP/original"
directory=$(dirname "$GUI_CONFIG")

# The text of an image region, read as a user would read it off the screen.
read_text() {  # read_text IMAGE
  convert "$1" -resize 300% -colorspace Gray "$GUI_TMP/ocr.png"
  timeout 30 tesseract "$GUI_TMP/ocr.png" - 2>/dev/null | tr -s ' \n' ' '
}
# At scale 2 the status bar has two rows: the message and the traffic above,
# the buffers and the size below.
status_text() {  # the main window's status bar
  timeout 20 import -window "$GUI_WINDOW" "$GUI_TMP/window.png"
  local width height
  read -r width height < <(identify -format '%w %h' "$GUI_TMP/window.png")
  convert "$GUI_TMP/window.png" -crop "${width}x38+0+$((height - 38))" +repage "$GUI_TMP/status.png"
  read_text "$GUI_TMP/status.png"
}

gui_run_program "$build" || exit 1
copies=("$directory"/morlen.config.unreadable-*)
check "one copy is kept beside the file" 1 "${#copies[@]}"
copy=${copies[0]}
name=$(basename "$copy")
check "the copy is named after the moment" 1 "$([[ $name =~ ^morlen\.config\.unreadable-[0-9]{8}-[0-9]{6}$ ]] && echo 1 || echo 0)"
check "the copy holds the user's bytes" 0 "$(cmp -s "$copy" "$GUI_TMP/original"; echo $?)"
summary() {
  python3 - "$GUI_CONFIG" <<'EOF'
import json, sys
c = json.load(open(sys.argv[1]))
print(c["petsciiScale"], c["keyboardMap"], c["dialogOnReceived"],
      " ".join("%s:%d" % (e["name"], e["port"]) for e in c["addressBook"]))
EOF
}
check "the file is rewritten at once, bad values as defaults, every board kept" \
  "2 2 False Alpha:6400 Bravo:64128 Charlie:6402 Delta:6403 Echo:6404" "$(summary 2>&1)"

status=$(status_text)
echo "status bar: $status"
check "the status bar says the damaged file was kept" 1 "$(grep -c 'Damaged configuration kept as' <<<"$status")"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"

# The field is narrower than the message: its tooltip shows it in full.
eval "$(xdotool getwindowgeometry --shell "$GUI_WINDOW")"
tip=""
for attempt in 1 2 3 4; do
  # The pointer enters the field; the tooltip follows after a short rest.
  xdotool mousemove $((X + 90 + attempt)) $((Y + HEIGHT - 32)) sleep 0.1 mousemove $((X + 100 + attempt)) $((Y + HEIGHT - 30))
  for _ in $(seq 8); do
    sleep 0.3
    timeout 20 import -window root -crop "1600x90+0+$((Y + HEIGHT))" "$GUI_TMP/tip.png"
    tip=$(read_text "$GUI_TMP/tip.png")
    grep -qF "$name" <<<"$tip" && break 2
  done
done
echo "tooltip: $tip"
check "the tooltip names the copy" 1 "$(grep -cF "kept as $name" <<<"$tip")"

gui_quit
check "the program ends" 0 $?
check "quitting keeps every board" \
  "2 2 False Alpha:6400 Bravo:64128 Charlie:6402 Delta:6403 Echo:6404" "$(summary 2>&1)"

# Once: the next start reads the file fully, keeps nothing, says nothing.
gui_run_program "$build" || exit 1
copies=("$directory"/morlen.config.unreadable-*)
check "a sound file is not kept again" 1 "${#copies[@]}"
status=$(status_text)
echo "status bar: $status"
check "the status bar shows the version again" 1 "$(grep -c 'Morlen v1.0.0' <<<"$status")"
gui_quit
check "that run ends" 0 $?
gui_finish
