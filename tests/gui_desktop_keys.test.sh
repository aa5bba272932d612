#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ctrl+W closes the address book and F7 opens it again. While connected to
# morlen-host, the desktop keys stay the program's: F10 and the arrows
# reach Transfer > Xmodem Receive, Escape cancels that transfer, an Alt
# mnemonic stashes the session, Escape closes View Buffer and About,
# Ctrl+Shift+Q quits. The host's record shows none of those keys, only the
# transfer's own bytes and what is typed into the terminal at the end.
# Usage: gui_desktop_keys.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
gui_start 1600x1000

"$build/morlen-host" --port 0 --script "$source_dir/tests/golden/basic.seq" --record "$GUI_TMP/typed" \
  --write-config "$HOME/.config" >"$GUI_TMP/host.out" 2>&1 &
GUI_PIDS+=($!)
for _ in $(seq 50); do grep -q '^port ' "$GUI_TMP/host.out" && [ -s "$GUI_CONFIG" ] && break; sleep 0.1; done

typed() { od -An -tx1 -v "$GUI_TMP/typed" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
# wait_typed REGEX: until the host's record, as hex pairs, matches.
wait_typed() {
  local deadline=$((SECONDS + 10))
  while [ $SECONDS -lt $deadline ]; do [[ $(typed) =~ $1 ]] && return 0; sleep 0.1; done
  return 1
}
window_name() { timeout 3 xdotool getwindowname "$GUI_WINDOW" 2>/dev/null; }
# menu_keys KEY...: keys into the menu bar once F10 has opened it.
menu_keys() {
  gui_key F10
  gui_wait_popup_menu || { echo "F10 opened no menu"; return 1; }
  timeout 10 xdotool key --delay 80 "$@"
  gui_wait_no_popup_menu
}

gui_run_program "$build" || exit 1
# The address book closes by Ctrl+W, and Connect... is offered again.
gui_key F7
book=$(gui_wait_window '^Address Book$')
timeout 5 xdotool windowfocus --sync "$book" 2>/dev/null
timeout 10 xdotool key ctrl+w
gui_wait_gone '^Address Book$'
check "Ctrl+W closes the address book" 0 $?
gui_connect_first_entry || exit 1
deadline=$((SECONDS + 10))
until [ "$(window_name)" == "Morlen — Morlen demo host" ] || [ $SECONDS -ge $deadline ]; do sleep 0.1; done
check "the title names the connected board" "Morlen — Morlen demo host" "$(window_name)"

# Terminal > Edit > View > Transfer, its first item: the receiver asks with 'C'.
menu_keys Right Right Right Down Return
wait_typed '^43'
check "F10 and the arrows start Xmodem Receive" 0 $?
gui_key Escape
wait_typed ' 18'
check "Escape cancels the transfer" 0 $?

# Alt+B, then S&tash; F4 then opens the stashed session.
gui_key alt+b
gui_wait_popup_menu && timeout 10 xdotool key t
gui_wait_no_popup_menu
gui_key F4
view=$(gui_wait_window '^View Buffer$')
check "Alt+B T stashes, F4 views" 1 "$([ -n "$view" ] && echo 1 || echo 0)"
# escape_closes WINDOW NAME_REGEX: Escape, pressed in WINDOW, closes it.
escape_closes() {
  timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
  timeout 10 xdotool key Escape
  gui_wait_gone "$2"
}
escape_closes "$view" '^View Buffer$'
check "Escape closes View Buffer" 0 $?

# Help is left of Terminal; About is its first item.
menu_keys Left Down Return
about=$(gui_wait_window '^About Morlen$')
check "F10 Left Down Return opens About" 1 "$([ -n "$about" ] && echo 1 || echo 0)"
escape_closes "$about" '^About Morlen$'
check "Escape closes About" 0 $?

# The terminal has the keyboard again: Escape is RUN/STOP, a letter itself.
gui_key Escape x
wait_typed ' 03 58$'
check "Escape and a letter typed into the terminal reach the host" 0 $?
echo "the host received: $(typed)"
# Before them only the receiver's 'C's and its cancel (CAN), NAK or ACK.
check "the host got no key of the menus and windows" "" \
  "$(typed | sed 's/ 03 58$//' | tr ' ' '\n' | grep -vxE '43|18|15|06' | sort -u | tr '\n' ' ')"

gui_quit
check "Ctrl+Shift+Q quits while connected" 0 $?
gui_finish
