#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's Xmodem engine against Debian's lrzsz over loopback TCP:
# receiving from sx (CRC, checksum, 1k blocks) and sending to rx (checksum
# and CRC, 128- and 1024-byte blocks), files of the sizes where blocks
# change, each arriving byte for byte (the last block's padding aside).
# Its Ymodem engines against sb and rb: batches of every size received and
# sent byte for byte, no padding. Its Punter send against its own Punter
# receive, and a Multi-Punter batch, each program on its own end.
# Usage: transfer_interop.test.sh BUILD_DIR SOURCE_DIR
set -u

# Run in a private network namespace when the system allows it.
if [ -z "${TRANSFER_TEST_IN_NAMESPACE:-}" ] && unshare -n true 2>/dev/null; then
  TRANSFER_TEST_IN_NAMESPACE=1 unshare -n \
    bash -c 'ip link set lo up || exit 125; exec bash "$0" "$@"' "$0" "$@"
  status=$?
  [ $status -ne 125 ] && exit $status
  echo "(no loopback in a private namespace; using the shared one)"
fi

peer=$(cd "$1" && pwd)/tests/transfer_peer
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Receives run their timers 20 times faster: the handshake's seconds become
# tenths. Sends only wait on the answer to EOT, which rx gives after a
# second of quiet; 4 times faster still waits longer than that.
receive_speed="--speed-up 20"
send_speed="--speed-up 4"
log="--peer-log peer.log"

# same ORIGINAL COPY: the copy holds the original, then at most one
# block's padding (0x1A bytes).
same() {
  python3 -c '
import sys
a = open(sys.argv[1], "rb").read()
b = open(sys.argv[2], "rb").read()
tail = b[len(a):]
sys.exit(0 if b[:len(a)] == a and len(tail) < 1024 and tail.count(0x1A) == len(tail) else 1)
' "$1" "$2"
}

# exact NAME CHECK DRIVER-ARGS...: runs the driver in a directory of its
# own, alongside a few others (most of the time goes in waiting), and leaves
# its line of result there; CHECK (shell, run in that directory after the
# driver) decides whether what arrived is right.
jobs_started=0
exact() {
  local name=$1 check=$2
  shift 2
  jobs_started=$((jobs_started + 1))
  local dir=$tmp/job$jobs_started
  mkdir "$dir"
  (
    cd "$dir" || exit 1
    out=$("$peer" "$@" 2>&1)
    status=$?
    if [ $status -eq 0 ] && eval "$check"; then
      echo "ok   $name: $out"
    else
      echo "FAIL $name: status $status: $out"
      [ -f peer.log ] && tr '\r' '\n' <peer.log | grep -v '^Blocks\|^Xmodem sectors' | tail -5
    fi
  ) >"$dir/result" 2>&1 &
  while [ "$(jobs -rp | wc -l)" -ge 4 ]; do wait -n; done
}

# transfer NAME ORIGINAL COPY DRIVER-ARGS...: one file, right when COPY
# holds ORIGINAL (then dropped, to keep the disk free).
transfer() {
  local name=$1 original=$2 copy=$3
  shift 3
  exact "$name" "[ -f $copy ] && same $original $copy && rm -f $copy" "$@"
}

sizes="1 127 128 896 900 1000 1024 100000 4194304"
for size in $sizes; do
  head -c "$size" /dev/urandom >"$tmp/file$size"
done

for size in $sizes; do
  f=$tmp/file$size
  transfer "receive $size, CRC (sx -X)" $f got receive got $receive_speed $log -- sx -X $f
  transfer "receive $size, checksum (sx -X, no C)" $f got receive got $receive_speed $log \
    --drop-crc-requests -- sx -X $f
  transfer "receive $size, 1k CRC (sx -X -k)" $f got receive got $receive_speed $log -- sx -X -k $f
  transfer "receive $size, 1k checksum (sx -X -k, no C)" $f got receive got $receive_speed $log \
    --drop-crc-requests -- sx -X -k $f
  transfer "send $size to rx -X" $f sent send $f $send_speed $log -- rx -X sent
  transfer "send $size to rx -X -c" $f sent send $f $send_speed $log -- rx -X -c sent
  transfer "send $size 1k to rx -X" $f sent send $f $send_speed $log --1k -- rx -X sent
  transfer "send $size 1k to rx -X -c" $f sent send $f $send_speed $log --1k -- rx -X -c sent
done

f=$tmp/file100000
# A sender that starts after the receiver has fallen back to checksum mode
# reads the earlier C's first.
transfer "receive from a sender starting late (sx -X)" $f got receive got $receive_speed $log \
  -- sx --delay-startup 1 -X $f
transfer "receive from a sender starting late (sx -X -k)" $f got receive got $receive_speed $log \
  -- sx --delay-startup 1 -X -k $f

# A noisy line: damaged packets are asked for again, in both directions. A
# sender that acts on requests it read late runs one answer ahead, which no
# receiver can make up for on a noisy line: the requests here come slowly
# enough for sx to answer the first.
transfer "receive through damage (sx -X)" $f got receive got --speed-up 2 $log \
  --damage-every 30000 -- sx -X $f
transfer "receive through damage (sx -X -k, no C)" $f got receive got $receive_speed $log \
  --damage-every 30000 --drop-crc-requests -- sx -X -k $f
transfer "send to a receiver that finds errors (rx -X -c --errors)" $f sent send $f $send_speed $log --1k \
  -- rx -X -c --errors 30000 sent
# Ymodem: one batch of every size from sb, in 128- and 1024-byte blocks
# and through damage; each size sent to rb. Names and sizes are the files'.
all=""
for size in $sizes; do all="$all $tmp/file$size"; done
same_files() {  # DIR: every file of the batch in DIR, byte for byte
  for size in $sizes; do cmp -s "$tmp/file$size" "$1/file$size" || return 1; done
}
exact "Ymodem batch of ${sizes// /, } bytes from sb" "same_files got" \
  ymodem-receive got $receive_speed $log -- sb $all
exact "Ymodem batch from sb -k" "same_files got" ymodem-receive got $receive_speed $log -- sb -k $all
exact "Ymodem batch from sb -k through damage" \
  "cmp -s $tmp/file1000 got/file1000 && cmp -s $tmp/file100000 got/file100000" \
  ymodem-receive got --speed-up 2 $log --damage-every 30000 -- sb -k $tmp/file1000 $tmp/file100000
for size in $sizes; do
  exact "Ymodem send of $size bytes to rb" "cmp -s $tmp/file$size file$size" \
    ymodem-send $tmp/file$size $send_speed $log -- rb
done

# Punter: the send against the program's own receive on the other end,
# both waiting a twentieth of their times; a batch the same way.
for size in 1 127 1000 100000; do
  exact "Punter send of $size bytes to the program's receive" "cmp -s $tmp/file$size got" \
    punter-send $tmp/file$size $receive_speed $log -- "$peer" punter-receive got $receive_speed --stdio
done
exact "Multi-Punter batch of 1, 127, 1000 and 100000 bytes" \
  "cmp -s $tmp/file1 got/FILE1 && cmp -s $tmp/file127 got/FILE127 && cmp -s $tmp/file100000 got/FILE100000" \
  multi-punter-receive got $receive_speed $log -- "$peer" multi-punter-send $tmp/file1 $tmp/file127 $tmp/file1000 \
  $tmp/file100000 $receive_speed --stdio
wait

passed=0
failed=0
for ((i = 1; i <= jobs_started; i++)); do
  cat "$tmp/job$i/result"
  if grep -q '^ok ' "$tmp/job$i/result"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -eq 94 ]
