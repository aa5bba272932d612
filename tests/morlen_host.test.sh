#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Black-box checks of morlen-host over loopback: command line, port and
# address, the demo board, scripts, recording, drops, pacing, handing the
# line to a program, and the configuration it writes.
# Usage: morlen_host.test.sh BUILD_DIR SOURCE_DIR
set -u

# Run in a private network namespace when the system allows it, so that
# the ports used here cannot meet anything else on the machine; otherwise
# fall back to the shared loopback.
if [ -z "${MORLEN_HOST_TEST_IN_NAMESPACE:-}" ] && unshare -n true 2>/dev/null; then
  MORLEN_HOST_TEST_IN_NAMESPACE=1 unshare -n \
    bash -c 'ip link set lo up || exit 125; exec bash "$0" "$@"' "$0" "$@"
  status=$?
  [ $status -ne 125 ] && exit $status
  echo "(no loopback in a private namespace; using the shared one)"
fi

host=$1/morlen-host
petscii=$1/morlen-petscii
tmp=$(mktemp -d)
started=()
cleanup() {
  for p in "${started[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT
passed=0
failed=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1)); echo "ok   $1"
  else
    failed=$((failed + 1)); echo "FAIL $1: expected [$2] got [$3]"
  fi
}

# The client: connects to 127.0.0.1:PORT and runs its steps in order.
#   idle          read until nothing arrives for half a second
#   expect:N      read until N bytes have come (5 s at most)
#   eof:S         read until the host closes (S seconds at most), print eof or open
#   send:HEX      send bytes
#   save          write what was read since the last save to PREFIX.K (K = 0, 1, ...)
#   span          print the seconds between the first and last byte read so far
#   signal:PID    send SIGUSR1 to PID;  sleep:S;  close
cat >"$tmp/client.py" <<'EOF'
import os, signal, socket, sys, time
port, prefix, steps = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
s = socket.create_connection(("127.0.0.1", port))
got, saved, first, last, closed = b"", 0, None, None, False
def read(until, limit, idle=None):
    global got, first, last, closed
    end = time.time() + limit
    while not closed and not until() and time.time() < end:
        s.settimeout(idle if idle else max(0.01, end - time.time()))
        try:
            chunk = s.recv(65536)
        except socket.timeout:
            if idle: return
            continue
        except ConnectionResetError:
            chunk = b""
        if not chunk:
            closed = True
            return
        now = time.time()
        first = first or now
        last = now
        got += chunk
for step in steps:
    kind, _, arg = step.partition(":")
    if kind == "idle": read(lambda: False, 10, idle=0.5)
    elif kind == "expect": read(lambda: len(got) >= int(arg), 5)
    elif kind == "eof":
        read(lambda: False, float(arg))
        print("eof" if closed else "open")
    elif kind == "send": s.sendall(bytes.fromhex(arg))
    elif kind == "save":
        open("%s.%d" % (prefix, saved), "wb").write(got)
        saved, got = saved + 1, b""
    elif kind == "span": print("%.3f" % ((last or 0) - (first or 0)))
    elif kind == "signal": os.kill(int(arg), signal.SIGUSR1)
    elif kind == "sleep": time.sleep(float(arg))
    elif kind == "close": s.close()
EOF
client() { python3 "$tmp/client.py" "$@"; }

alive() {  # alive PID: running and not a zombie
  local state
  state=$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null) && [ -n "$state" ] && [ "$state" != Z ]
}
gone_within() {  # gone_within PID SECONDS: prints gone or alive
  for _ in $(seq $(($2 * 10))); do alive "$1" || { echo gone; return; }; sleep 0.1; done
  echo alive
}
# start_host NAME ARGS...: runs the host, waits for its port line; sets pid and port.
start_host() {
  local name=$1; shift
  : >"$tmp/$name.out"  # there before the host starts writing, for the first read
  "$host" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err" &
  pid=$!
  started+=("$pid")
  port=""
  for _ in $(seq 50); do
    read -r word port <"$tmp/$name.out" && [ "$word" == port ] && return 0
    alive "$pid" || break
    sleep 0.1
  done
  echo "host $name did not start: $(cat "$tmp/$name.err")"
  return 1
}
stop_host() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }
# connected PORT: waits (5 s at most) until the host has accepted a caller on PORT.
connected() {
  local hex; hex=$(printf ':%04X' "$1")
  for _ in $(seq 50); do
    awk -v p="$hex" '$4 == "01" && substr($2, 9) == p { found = 1 } END { exit !found }' /proc/net/tcp &&
      return
    sleep 0.1
  done
}
has_bytes() {  # has_bytes FILE HEX...: prints the hex codes missing from FILE
  python3 -c 'import sys; d = open(sys.argv[1], "rb").read()
print(" ".join(h for h in sys.argv[2:] if bytes.fromhex(h)[0] not in d))' "$@"
}
summary() { "$petscii" dump --summary "$1" | cut -d' ' -f1-4; }
size() { wc -c <"$1"; }
first_byte() { head -c1 "$1" | od -An -tx1 | tr -d ' '; }

python3 -c 'import random, sys; random.seed(7)
open(sys.argv[1], "wb").write(bytes(range(256)) * 4 + bytes(random.randrange(256) for _ in range(20000)))' \
  "$tmp/script.seq"
script_size=$(size "$tmp/script.seq")
python3 -c 'open("'"$tmp"'/all.bin", "wb").write(bytes(range(256)))'
all_hex=$(od -An -v -tx1 "$tmp/all.bin" | tr -d ' \n')
# Every byte but the two that leave echo mode (RUN/STOP and the left arrow).
echo_hex=48454c4c4f14000dff$(python3 -c 'print(bytes(b for b in range(256) if b not in (0x03, 0x5F)).hex())')

# --- Command line -----------------------------------------------------------
"$host" --help >"$tmp/help" 2>&1; check "--help exits 0" 0 $?
for option in --port --script --record --drop-after-bytes --delay-ms --chunk-bytes --exec --once \
              --write-config SIGUSR1 127.0.0.1; do
  grep -q -- "$option" "$tmp/help"; check "--help mentions $option" 0 $?
done
check "--version" "morlen-host 1.0.0" "$("$host" --version)"
for bad in "--bogus" "--port" "--port 65536" "--port -1" "--port x" "--port 1e3" "--delay-ms 1.5" \
           "--chunk-bytes 0" "--drop-after-bytes" "--script" "--record $tmp/r --exec cat" \
           "--bind 0.0.0.0" "--address 0.0.0.0" "--host 0.0.0.0" "--listen 0.0.0.0" "extra"; do
  # shellcheck disable=SC2086
  timeout 5 "$host" $bad >"$tmp/out" 2>"$tmp/err"; status=$?
  check "'$bad' exits 2" 2 $status
  check "'$bad' says one line and listens nowhere" "1 0" "$(wc -l <"$tmp/err") $(size "$tmp/out")"
done
timeout 5 "$host" --script "$tmp/missing.seq" >"$tmp/out" 2>"$tmp/err"
check "unreadable script exits 1 before listening" "1 0" "$? $(size "$tmp/out")"
timeout 5 "$host" --record "$tmp/no/such/dir/rec" >"$tmp/out" 2>"$tmp/err"
check "unwritable record file exits 1" "1 0" "$? $(size "$tmp/out")"

# --- Port and address -------------------------------------------------------
start_host any --script "$tmp/script.seq"
check "port line format" 1 "$(grep -cE '^port [1-9][0-9]*$' "$tmp/any.out")"
hex_port=$(printf '%04X' "$port")
# Every listening socket on this port, by local address (state 0A = LISTEN).
check "listens on 127.0.0.1 only" "0100007F" \
  "$(awk -v p=":$hex_port" '$4 == "0A" && substr($2, 9) == p { print substr($2, 1, 8) }' /proc/net/tcp)"
check "nothing on IPv6" "" \
  "$(awk -v p=":$hex_port" '$4 == "0A" && substr($2, 33) == p' /proc/net/tcp6 2>/dev/null)"
timeout 5 "$host" --port "$port" >"$tmp/out" 2>"$tmp/err"
check "a port in use is an error, not another port" "1 0" "$? $(size "$tmp/out")"
stop_host "$pid"
free_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])')
start_host fixed --port "$free_port"
check "--port N is the port printed" "$free_port" "$port"
stop_host "$pid"

# --- The demo board ---------------------------------------------------------
start_host demo --record "$tmp/demo.rec"
demo_pid=$pid
# title, menu, colour chart, menu, graphics, LF ignored, menu, case page, two
# set switches, menu, echo page, echoed bytes, menu, goodbye
client "$port" "$tmp/demo" idle save send:20 idle save send:31 idle save send:78 idle save \
  send:32 idle save send:0a idle save send:0d idle save send:33 idle save send:43 idle save \
  send:c3 idle save send:20 idle save send:45 idle save "send:$echo_hex" \
  "expect:$((${#echo_hex} / 2))" save send:5f idle save send:51 idle save eof:3 >"$tmp/demo.status"
check "title starts with clear screen" 93 "$(first_byte "$tmp/demo.0")"
check "title names the board" 1 "$(grep -ca 'HARBOUR LIGHT BBS' "$tmp/demo.0")"
check "title uses graphics, reverse, the graphics set, cursor moves and home" "" \
  "$(has_bytes "$tmp/demo.0" a2 a9 7f 60 7d 12 92 8e 11 91 1d 9d 13)"
check "menu after any key" 93 "$(first_byte "$tmp/demo.1")"
check "colour chart uses all sixteen colour codes" "" \
  "$(has_bytes "$tmp/demo.2" 90 05 1c 9f 9c 1e 1f 9e 81 95 96 97 98 99 9a 9b)"
check "a page returns to the same menu" "" "$(cmp "$tmp/demo.1" "$tmp/demo.3" 2>&1)"
graphics_codes=$(printf '%x ' $(seq 160 191) $(seq 96 127))
# shellcheck disable=SC2086
check "graphics page shows all 64 graphics characters" "" "$(has_bytes "$tmp/demo.4" $graphics_codes)"
check "a line feed is not a key" 0 "$(size "$tmp/demo.5")"
check "RETURN leaves the graphics page" "" "$(cmp "$tmp/demo.1" "$tmp/demo.6" 2>&1)"
check "case page switches to lower case" "93 0e" "$(head -c2 "$tmp/demo.7" | od -An -tx1 | xargs)"
check "C switches to upper case" 8e "$(od -An -tx1 "$tmp/demo.8" | xargs)"
check "shifted C switches back" 0e "$(od -An -tx1 "$tmp/demo.9" | xargs)"
check "echo page" 93 "$(first_byte "$tmp/demo.11")"
check "echo returns every byte as typed" "$echo_hex" "$(od -An -v -tx1 "$tmp/demo.12" | tr -d ' \n')"
check "left arrow leaves echo mode for the menu" "" "$(cmp "$tmp/demo.1" "$tmp/demo.13" 2>&1)"
check "Q says goodbye" 1 "$(grep -ca 'SIGNING OFF' "$tmp/demo.14")"
check "and hangs up" eof "$(cat "$tmp/demo.status")"
for page in 0 1 2 4 7 11 14; do
  # A clear-screen leaves row 0 as separator and the page starts at row 1:
  # top still 1 means the page never scrolled.
  check "page $page fits the screen" yes \
    "$(summary "$tmp/demo.$page" | awk '{ print ($4 == 1 && $2 <= 26) ? "yes" : $0 }')"
done
client "$port" "$tmp/short" idle save send:d1 idle save eof:3 >"$tmp/short.status"
check "menu keys work from the title, shifted too" "1 eof" \
  "$(grep -ca 'SIGNING OFF' "$tmp/short.1") $(cat "$tmp/short.status")"
check "the demo host keeps serving" yes "$(alive "$demo_pid" && echo yes)"
client "$port" "$tmp/leave" idle send:45 idle close >/dev/null
client "$port" "$tmp/fresh" idle save close >/dev/null
check "each caller starts at the title, whatever the last one did" "" \
  "$(cmp "$tmp/demo.0" "$tmp/fresh.0" 2>&1)"
check "the demo records every key" "203178320a0d3343c32045${echo_hex}5f51d145" \
  "$(od -An -v -tx1 "$tmp/demo.rec" | tr -d ' \n')"
printf '1' | timeout 10 socat -t 3 - "TCP:127.0.0.1:$port" >"$tmp/socat.out"
cat "$tmp/demo.0" "$tmp/demo.2" >"$tmp/expected"
check "socat as the caller: the title, then the answer to its key" "" \
  "$(cmp "$tmp/expected" "$tmp/socat.out" 2>&1)"
stop_host "$demo_pid"

# --- Scripts, recording, one caller at a time --------------------------------
printf 'old' >"$tmp/record"
start_host rec --script "$tmp/script.seq" --record "$tmp/record"
client "$port" "$tmp/script" "expect:$script_size" idle save send:00ff send:$all_hex sleep:0.2 \
  send:ff00 idle save close >/dev/null
check "--script sends exactly the file" "" "$(cmp "$tmp/script.seq" "$tmp/script.0" 2>&1)"
check "and answers nothing to what the caller types" 0 "$(size "$tmp/script.1")"
for _ in $(seq 30); do [ "$(size "$tmp/record")" -ge 263 ] && break; sleep 0.1; done
{ printf 'old\x00\xff'; cat "$tmp/all.bin"; printf '\xff\x00'; } >"$tmp/expected"
check "received bytes are appended to the record exactly" "" "$(cmp "$tmp/expected" "$tmp/record" 2>&1)"
client "$port" "$tmp/hold" "expect:$script_size" sleep:3 send:414243 close >/dev/null &
holder=$!
connected "$port"
client "$port" "$tmp/queued" idle save "expect:$script_size" save >/dev/null
wait $holder
check "a second caller waits while the first is served" 0 "$(size "$tmp/queued.0")"
check "and is served next" "" "$(cmp "$tmp/script.seq" "$tmp/queued.1" 2>&1)"
check "later callers' bytes are appended too" "ABC" "$(tail -c3 "$tmp/record")"
stop_host "$pid"

head -c 4194304 /dev/urandom >"$tmp/big.seq"
start_host big --script "$tmp/big.seq"
# The caller reads nothing at first, so the host meets a full socket.
client "$port" "$tmp/big" sleep:1 expect:4194304 save close >/dev/null
check "a large script survives a slow reader" "" "$(cmp "$tmp/big.seq" "$tmp/big.0" 2>&1)"
stop_host "$pid"

# --- Drops ------------------------------------------------------------------
start_host drop --script "$tmp/script.seq" --drop-after-bytes 300 --record "$tmp/drop.rec"
for round in 1 2; do
  # What the caller types while the line goes down still reaches the record.
  client "$port" "$tmp/drop$round" eof:5 save send:4c415445 close >"$tmp/drop.status"
  check "drop after 300 bytes, caller $round" "eof 300" \
    "$(cat "$tmp/drop.status") $(size "$tmp/drop$round.0")"
done
check "dropped bytes are the script's first" "" "$(cmp -n 300 "$tmp/script.seq" "$tmp/drop1.0" 2>&1)"
check "bytes typed as the line drops are recorded" LATELATE "$(cat "$tmp/drop.rec")"
stop_host "$pid"
start_host drop0 --drop-after-bytes 0
check "drop after 0 bytes" "eof 0" "$(client "$port" "$tmp/drop0" eof:5 save) $(size "$tmp/drop0.0")"
stop_host "$pid"
start_host dropdemo --drop-after-bytes 10
check "the demo is cut short too" "eof 10 93" \
  "$(client "$port" "$tmp/dropdemo" eof:5 save) $(size "$tmp/dropdemo.0") $(first_byte "$tmp/dropdemo.0")"
stop_host "$pid"

start_host usr1 --script "$tmp/script.seq"
check "SIGUSR1 drops the current caller" eof \
  "$(client "$port" "$tmp/usr1" "expect:$script_size" "signal:$pid" eof:3)"
kill -USR1 "$pid"; sleep 0.3
check "SIGUSR1 with nobody connected spares the next caller" "open $script_size" \
  "$(client "$port" "$tmp/usr1b" "expect:$script_size" eof:1 save) $(size "$tmp/usr1b.0")"
check "the host lives on after a drop" yes "$(alive "$pid" && echo yes)"
stop_host "$pid"

# --- Pacing -----------------------------------------------------------------
printf '0123456789' >"$tmp/ten"
start_host paced --script "$tmp/ten" --delay-ms 100 --chunk-bytes 2
span=$(client "$port" "$tmp/paced" expect:10 span save)
# five chunks, four pauses of 100 ms between first and last byte
check "paced output takes its time" yes \
  "$(awk -v s="$span" 'BEGIN { print (s >= 0.35 && s < 3) ? "yes" : s }')"
check "paced output is complete" 0123456789 "$(cat "$tmp/paced.0")"
# socat with no input shuts its sending side at once and waits for the rest.
check "a caller done sending still gets the whole script" 0123456789 \
  "$(timeout 10 socat -t 3 - "TCP:127.0.0.1:$port" </dev/null)"
stop_host "$pid"

# --- Handing the line to a program -------------------------------------------
printf 'HI' >"$tmp/hi"
start_host cat --script "$tmp/hi" --exec cat
client "$port" "$tmp/cat" send:6561726c79 expect:7 save "send:$all_hex" expect:256 save close >/dev/null
check "script first, then the program gets bytes sent early" "HIearly" "$(cat "$tmp/cat.0")"
check "--exec cat echoes every byte" "" "$(cmp "$tmp/all.bin" "$tmp/cat.1" 2>&1)"
check "a caller hanging up ends the program; the next is served" HI \
  "$(client "$port" "$tmp/cat2" expect:2 save close; cat "$tmp/cat2.0")"
stop_host "$pid"
start_host early --script "$tmp/script.seq" --drop-after-bytes 100 --exec "touch $tmp/ran"
check "a drop before the hand-over" "eof 100" \
  "$(client "$port" "$tmp/early" eof:5 save) $(size "$tmp/early.0")"
check "leaves the program unrun" no "$([ -e "$tmp/ran" ] && echo yes || echo no)"
stop_host "$pid"
start_host done --exec 'printf done'
check "the line ends when the program exits" "eof done" \
  "$(client "$port" "$tmp/done" eof:5 save) $(cat "$tmp/done.0")"
stop_host "$pid"
# Two leftovers in the background: one that stops when asked, one that
# ignores SIGTERM and keeps its copy of the socket.
start_host left --exec "sleep 30 & echo \$! >$tmp/left.pid;
  (trap '' TERM; exec sleep 30) & echo \$! >$tmp/stubborn.pid; echo started"
check "a program's leftovers do not hold the line" eof "$(client "$port" "$tmp/left" eof:5)"
check "and are stopped" gone "$(gone_within "$(cat "$tmp/left.pid")" 3)"
kill -KILL "$(cat "$tmp/stubborn.pid")"
stop_host "$pid"
start_host sleeper --exec "echo \$\$ >$tmp/sleeper.pid; exec sleep 30"
check "SIGUSR1 ends the program's line" eof \
  "$(client "$port" "$tmp/sleeper" sleep:0.5 "signal:$pid" eof:5)"
check "and the program" gone "$(gone_within "$(cat "$tmp/sleeper.pid")" 3)"
rm -f "$tmp/sleeper.pid"
client "$port" "$tmp/sleeper2" sleep:3 >/dev/null &
for _ in $(seq 50); do [ -s "$tmp/sleeper.pid" ] && break; sleep 0.1; done
kill -TERM "$pid"
check "SIGTERM during a handed-over line stops the host" gone "$(gone_within "$pid" 5)"
check "and its program" gone "$(gone_within "$(cat "$tmp/sleeper.pid")" 3)"
wait

# --- Ending -----------------------------------------------------------------
start_host once --once --script "$tmp/hi"
client "$port" "$tmp/once" expect:2 close >/dev/null
check "--once exits after the first caller" gone "$(gone_within "$pid" 5)"
wait "$pid"; check "--once exit status" 0 $?
for sig in TERM INT; do
  start_host "idle$sig"
  kill -"$sig" "$pid"
  check "SIG$sig while idle ends the host" gone "$(gone_within "$pid" 3)"
  wait "$pid"; check "SIG$sig exit status" 0 $?
done
start_host busy --script "$tmp/hi"
client "$port" "$tmp/busy" expect:2 sleep:4 >/dev/null &
connected "$port"
kill -TERM "$pid"
# ... without waiting for the caller to hang up
check "SIGTERM during a call ends the host" gone "$(gone_within "$pid" 1)"
wait

# --- The terminal's configuration ------------------------------------------
start_host config --write-config "$tmp/cfg"
config=$tmp/cfg/Vendorly/Morlen/morlen.config
client "$port" "$tmp/cfgtitle" idle save close >/dev/null
check "configuration for the terminal" "False 1 Morlen demo host 127.0.0.1 $port" \
  "$(python3 -c 'import json, sys; c = json.load(open(sys.argv[1])); b = c["addressBook"]
print(c["autoCheckForUpdate"], len(b), b[0]["name"], b[0]["address"], b[0]["port"])' "$config" 2>&1)"
python3 -c 'import base64, json, sys; entry = json.load(open(sys.argv[1]))["addressBook"][0]
open(sys.argv[2], "wb").write(base64.b64decode(entry["screenshot"]))' \
  "$config" "$tmp/screenshot"
check "its picture is the title screen" "" "$(cmp "$tmp/cfgtitle.0" "$tmp/screenshot" 2>&1)"
stop_host "$pid"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
