#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A board behind Debian's telnet server (inetutils telnetd, under socat as
# inetd would run it, each running its program in place of login): the real
# program on an entry with the Telnet option and local echo shows the local
# host's screen as morlen-petscii renders it, pi (0xFF) included and no
# negotiation glyph; the server takes ECHO, which wins over the entry's
# local echo; typed keys reach the board once each. Through the same server the terminal's telnet layer receives a file
# of 0xFF bytes from sx and sends it to rx, byte for byte.
# Usage: gui_telnet_board.test.sh BUILD_DIR SOURCE_DIR
set -u
build=$(cd "$1" && pwd); source_dir=$(cd "$2" && pwd)
source "$source_dir/tests/gui_lib.sh"
gui_isolate "$@"
telnetd=/usr/sbin/telnetd
[ -x "$telnetd" ] || { echo "no $telnetd (tools/install-deps.sh installs inetutils-telnetd)"; exit 1; }
gui_start 1600x1000

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
# serve SCRIPT: the telnet server on a free loopback port, running SCRIPT
# for each caller; sets PORT once it listens.
serve() {
  PORT=$(free_port)
  socat TCP-LISTEN:"$PORT",bind=127.0.0.1,reuseaddr,fork EXEC:"$telnetd -h -E $1",nofork \
    >/dev/null 2>>"$GUI_TMP/socat.log" &
  GUI_PIDS+=($!)
  for _ in $(seq 50); do ss -ltn "sport = :$PORT" | grep -q LISTEN && break; sleep 0.1; done
}
# program NAME COMMAND: a script the server runs, in GUI_TMP.
program() {
  printf '#!/bin/sh\ncd %s || exit 1\n%s\n' "$GUI_TMP" "$2" >"$GUI_TMP/$1"
  chmod +x "$GUI_TMP/$1"
  echo "$GUI_TMP/$1"
}

python3 - "$GUI_TMP/board.seq" <<'PY'
import sys
UPPER, CLR, RET, WHITE, CYAN, YELLOW, RVS, RVS_OFF = b"\x8e", b"\x93", b"\x0d", b"\x05", b"\x9f", b"\x9e", b"\x12", b"\x92"
s = UPPER + CLR + WHITE + RVS + b" TELNET HARBOUR " + RVS_OFF + RET + RET
s += CYAN + b"PI IS \xff, TWICE \xff\xff." + RET + b"\xff\xfb\x01 LOOK LIKE TELNET BUT ARE DATA" + RET
s += YELLOW + b"".join(bytes([c]) for c in range(0xf0, 0x100)) + RET + RET + WHITE + b"COMMAND: "
open(sys.argv[1], "wb").write(s)
PY
serve "$(program board.sh "exec '$build/morlen-host' --stdio --script board.seq --record typed 2>host.log")"
gui_config "{\"addressBookEntry\":\"1\",\"name\":\"Telnet Harbour\",\"description\":\"\",\"address\":\"127.0.0.1\",\"port\":$PORT,\"telnet\":true,\"background\":0,\"foreground\":15,\"echo\":true,\"columns\":40,\"screenshot\":\"\"}"
gui_run_program "$build" || exit 1
gui_connect_first_entry || exit 1

"$build/morlen-petscii" render --scale 2 --colour 15 --background 0 "$GUI_TMP/board.seq" "$GUI_TMP/render.png"
read -r top cursor_row cursor_column < <("$build/morlen-petscii" dump --summary "$GUI_TMP/board.seq" | awk '{print $4, $6, $7}')
# screen_as_rendered NAME: waits up to 30 seconds for the window to show the
# render, the cursor's cell aside; prints the comparison.
screen_as_rendered() {
  local result
  result=$(gui_wait_picture "$GUI_WINDOW" "$GUI_TMP/$1.png" "$GUI_TMP/render.png" \
    --ignore-cell "$cursor_column" $((cursor_row - top)) 2)
  echo "$result" >&2
  grep -o 'differing [0-9]*' <<<"$result"
}
check "the board's screen, pi and all, as rendered: no negotiation on it" "differing 0" "$(screen_as_rendered window)"
[ -n "${GUI_KEEP_SCREENSHOT:-}" ] && cp "$GUI_TMP/window.png" "$GUI_KEEP_SCREENSHOT"

gui_key h e l l o Return
for _ in $(seq 50); do [ "$(wc -c <"$GUI_TMP/typed" 2>/dev/null)" -ge 6 ] && break; sleep 0.1; done
sleep 0.5  # room for anything more to arrive or show
check "typed keys reach the board once each" "48454c4c4f0d" "$(od -An -tx1 "$GUI_TMP/typed" | tr -d ' \n')"
check "the server echoes, so the entry's local echo shows nothing" "differing 0" "$(screen_as_rendered typed)"
check "the server heard the terminal type" "caller's terminal: petscii" \
  "$(grep -o "caller's terminal: [a-z]*" "$GUI_TMP/host.log")"

# Transfers through the same server, with lrzsz in place of login.
head -c 10000 /dev/zero | tr '\0' '\377' >"$GUI_TMP/ff.bin"
# same ORIGINAL COPY: the copy holds the original, then at most one block's padding.
same() {
  python3 -c '
import sys
a, b = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
tail = b[len(a):]
sys.exit(0 if b[:len(a)] == a and len(tail) < 1024 and tail.count(0x1A) == len(tail) else 1)
' "$1" "$2" && echo same || echo different
}
serve "$(program sx.sh "exec sx -X -k ff.bin 2>sx.log")"
sx_port=$PORT
# rx acknowledges the end and leaves; the pause keeps the line open for that
# answer, which its flush on leaving sometimes takes back off the line.
serve "$(program rx.sh "rx -X -c sent.bin 2>rx.log; sleep 1")"
rx_port=$PORT
peer="$build/tests/transfer_peer"
# The receiver asks for the first block after a second: the server has started sx by then.
result=$("$peer" receive "$GUI_TMP/got.bin" --telnet --speed-up 2 --connect "$sx_port")
echo "receive: $result"
check "Xmodem-1k receive from sx through telnet" "completed same" "${result%% *} $(same "$GUI_TMP/ff.bin" "$GUI_TMP/got.bin")"
# The send keeps real time: rx answers the EOT after a second of quiet, and a
# loaded machine can delay that past a shortened wait, which then hangs up
# on rx before it has written the file.
result=$("$peer" send "$GUI_TMP/ff.bin" --1k --telnet --connect "$rx_port")
echo "send: $result"
ending=${result%% *}
[[ $ending == completed || $ending == connection-closed ]] && ending="sent"
check "Xmodem-1k send to rx through telnet" "sent same" "$ending $(same "$GUI_TMP/ff.bin" "$GUI_TMP/sent.bin")"
# A failure explains itself: what lrzsz and the server said, progress aside.
if [ "$GUI_FAILED" -gt 0 ]; then
  for log in sx.log rx.log socat.log; do
    echo "--- $log"
    tr '\r' '\n' <"$GUI_TMP/$log" | grep -Ev '^$|^Blocks received: [0-9]+$|^Xmodem sectors/kbytes sent: *[0-9]+/ *[0-9]+k$'
  done
fi
gui_finish
