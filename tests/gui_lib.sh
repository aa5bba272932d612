# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the GUI tests: a private network namespace when the machine
# allows one, an Xvfb display of its own, a temporary HOME with a
# configuration, and small checks that count passes and failures.
#   source tests/gui_lib.sh; gui_start BUILD_DIR [WIDTHxHEIGHT]
# Sourced, not run.

GUI_PASSED=0
GUI_FAILED=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    echo "ok   $1"; GUI_PASSED=$((GUI_PASSED + 1))
  else
    echo "FAIL $1: expected [$2] got [$3]"; GUI_FAILED=$((GUI_FAILED + 1))
  fi
}

gui_finish() {
  echo "$GUI_PASSED passed, $GUI_FAILED failed"
  [ "$GUI_FAILED" -eq 0 ]
}

GUI_SCRIPT=${BASH_SOURCE[1]:-$0}
GUI_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Re-runs the calling script inside a new network namespace (loopback only)
# when that is possible; sets GUI_IN_NAMESPACE either way.
gui_isolate() {
  if [ -z "${GUI_IN_NAMESPACE:-}" ] && unshare -n true 2>/dev/null; then
    GUI_IN_NAMESPACE=1 exec unshare -n bash -c 'ip link set lo up && exec bash "$@"' _ "$GUI_SCRIPT" "$@"
  fi
  export GUI_IN_NAMESPACE=${GUI_IN_NAMESPACE:-0}
}

# gui_start SCREEN: starts Xvfb, makes GUI_TMP with a HOME whose
# configuration never checks for updates.
gui_start() {
  local screen=${1:-1600x1000}
  GUI_TMP=$(mktemp -d)
  GUI_PIDS=()
  trap gui_stop EXIT
  # Xvfb picks a free display itself, so tests running side by side never share one.
  # -noreset: without it the server resets when its last client goes, and
  # a program connecting just then fails to open the display.
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$GUI_TMP/display" >"$GUI_TMP/xvfb.log" 2>&1 &
  GUI_PIDS+=($!)
  local display=""
  for _ in $(seq 100); do
    display=$(head -1 "$GUI_TMP/display" 2>/dev/null)
    [ -n "$display" ] && break
    sleep 0.1
  done
  [ -n "$display" ] || { echo "Xvfb did not start"; cat "$GUI_TMP/xvfb.log"; exit 1; }
  export DISPLAY=":$display"
  local ready=0
  for _ in $(seq 300); do timeout 3 xdpyinfo >/dev/null 2>&1 && { ready=1; break; }; sleep 0.1; done
  [ $ready -eq 1 ] || { echo "the display did not answer"; exit 1; }
  # A program started with its default settings checks for updates: such a
  # request goes to a closed port on loopback instead of the maker's server
  # (libcurl honours these), also where no private namespace can be made.
  # The tests' own servers on 127.0.0.1 are reached directly.
  export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 no_proxy=127.0.0.1,localhost
  unset HTTP_PROXY HTTPS_PROXY ALL_PROXY all_proxy NO_PROXY
  export HOME="$GUI_TMP/home" XDG_CONFIG_HOME=
  unset XDG_CONFIG_HOME
  GUI_CONFIG="$HOME/.config/Vendorly/Morlen/morlen.config"
  mkdir -p "$(dirname "$GUI_CONFIG")"
}

# gui_config [ADDRESS_BOOK_JSON_ARRAY_ITEMS] [SCALE]: writes a configuration.
gui_config() {
  printf '{"morlenConfig":1,"petsciiScale":%s,"keyboardMap":1,"dialogOnReceived":false,"autoCheckForUpdate":false,"addressBook":[%s]}' \
    "${2:-2}" "${1:-}" >"$GUI_CONFIG"
}

gui_stop() {
  local pid
  for pid in "${GUI_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for _ in $(seq 30); do
    local alive=0
    for pid in "${GUI_PIDS[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ $alive -eq 0 ] && break
    sleep 0.1
  done
  for pid in "${GUI_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$GUI_TMP"
}

# gui_run_program BUILD_DIR: starts the program, waits for its window,
# sets GUI_WINDOW and GUI_PROGRAM.
gui_run_program() {
  "$1/morlen" >"$GUI_TMP/program.log" 2>&1 &
  GUI_PROGRAM=$!
  GUI_PIDS+=($GUI_PROGRAM)
  echo "started the program (pid $GUI_PROGRAM)" >&2
  GUI_WINDOW=""
  # xdotool's search can stall on a window that is changing under it: each
  # search is cut short and tried again, for 30 seconds at most.
  local deadline=$((SECONDS + 30))
  while [ $SECONDS -lt $deadline ]; do
    GUI_WINDOW=$(timeout 3 xdotool search --onlyvisible --name '^Morlen v1\.0\.0/Vendorly$' 2>/dev/null | head -1)
    [ -n "$GUI_WINDOW" ] && break
    sleep 0.1
  done
  [ -n "$GUI_WINDOW" ] || { echo "the main window did not appear"; cat "$GUI_TMP/program.log"; return 1; }
  sleep 0.5  # let the first paint land
}

# gui_key KEY...: real key events to the main window (focused first: the
# display runs no window manager, so nothing else gives it the focus).
gui_key() {
  # --sync waits for the focus to arrive; never longer than a few seconds.
  timeout 5 xdotool windowfocus --sync "$GUI_WINDOW" 2>/dev/null
  timeout 10 xdotool key --delay 30 "$@"
}

# gui_quit: closes the main window as a user would and waits for the exit.
gui_quit() {
  local attempt
  for attempt in 1 2 3; do
    echo "quitting (attempt $attempt)" >&2
    gui_key ctrl+shift+q
    for _ in $(seq 50); do kill -0 "$GUI_PROGRAM" 2>/dev/null || return 0; sleep 0.1; done
  done
  echo "the program did not exit"; cat "$GUI_TMP/program.log"
  return 1
}

# gui_wait_picture WINDOW SHOT RENDER [COMPARE-ARGS...]: takes pictures of
# WINDOW into SHOT until RENDER shows in it (bytes, repaints and the
# connection take their time), for 30 seconds at most; prints the last
# comparison, "offset X Y differing N".
gui_wait_picture() {
  local window=$1 shot=$2 render=$3 deadline=$((SECONDS + 30)) result
  shift 3
  while :; do
    timeout 20 import -window "$window" "$shot"
    result=$(python3 "$GUI_LIB_DIR/compare_canvas.py" "$shot" "$render" "$@")
    [[ $result == *"differing 0"* || $SECONDS -ge $deadline ]] && break
    sleep 0.2
  done
  echo "$result"
}

# gui_wait_window NAME_REGEX [SECONDS]: prints the first visible window whose
# name matches, once there is one; fails after SECONDS (default 10).
gui_wait_window() {
  local deadline=$((SECONDS + ${2:-10})) id=""
  while [ $SECONDS -lt $deadline ]; do
    id=$(timeout 3 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# gui_wait_gone NAME_REGEX [SECONDS]: waits until no visible window matches.
gui_wait_gone() {
  local deadline=$((SECONDS + ${2:-10}))
  while [ $SECONDS -lt $deadline ]; do
    timeout 3 xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# gui_popup_menus: the visible menus that are popped up (context menus and
# the menu bar's open menus); their windows have no name of their own.
gui_popup_menus() {
  local id
  for id in $(timeout 3 xdotool search --onlyvisible --name '' 2>/dev/null); do
    timeout 3 xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -qE '_(POPUP|DROPDOWN)_MENU' && echo "$id"
  done
}

# gui_wait_popup_menu / gui_wait_no_popup_menu: until a menu is open / none is.
gui_wait_popup_menu() {
  local deadline=$((SECONDS + ${1:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ -n "$(gui_popup_menus)" ] && return 0
    sleep 0.1
  done
  return 1
}
gui_wait_no_popup_menu() {
  local deadline=$((SECONDS + ${1:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ -z "$(gui_popup_menus)" ] && return 0
    sleep 0.1
  done
  return 1
}

# gui_connect_first_entry: F7 opens the address book, Enter on its first
# entry connects; returns once the address book has closed.
gui_connect_first_entry() {
  gui_key F7
  local book
  book=$(gui_wait_window '^Address Book$') || { echo "F7 did not open the address book"; return 1; }
  timeout 5 xdotool windowfocus --sync "$book" 2>/dev/null
  timeout 10 xdotool key --delay 50 Home Return
  gui_wait_gone '^Address Book$' || { echo "the address book did not close"; return 1; }
}

# gui_clipboard_hex: the clipboard as another X client reads it, in hex.
gui_clipboard_hex() {
  timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null | od -An -tx1 | tr -d ' \n'
}

# gui_clipboard_set TEXT: another client takes the clipboard with TEXT.
gui_clipboard_set() {
  printf '%s' "$1" | timeout 5 xclip -i -selection clipboard 2>/dev/null
}

# gui_wait_clipboard HEX [SECONDS]: waits until the clipboard holds HEX;
# prints what it holds at the end.
gui_wait_clipboard() {
  local deadline=$((SECONDS + ${2:-10})) got=""
  while [ $SECONDS -lt $deadline ]; do
    got=$(gui_clipboard_hex)
    [ "$got" == "$1" ] && break
    sleep 0.1
  done
  echo "$got"
}
