#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make demo`: starts the demo board on a free loopback port, writes a
# throw-away terminal configuration whose address book holds just that
# board, runs the terminal with it and stops the board when the terminal
# exits. With --telnet the board speaks telnet and its entry has the
# Telnet option. Usage: run-demo.sh BUILD_DIR [--telnet]
set -euo pipefail
build=${1:-build}
telnet=${2:-}
entry="Morlen demo host"
[ "$telnet" = --telnet ] && entry="Morlen demo host (telnet)"
config=$(mktemp -d)
: >"$config/host.out"  # there before the host writes to it, for the first read below
"$build/morlen-host" --port 0 --write-config "$config" $telnet >"$config/host.out" &
host=$!
cleanup() {
  kill "$host" 2>/dev/null || true
  wait "$host" 2>/dev/null || true
  rm -rf "$config"
}
trap cleanup EXIT

# The port line comes once the host listens and the configuration is written.
word="" port=""
for _ in $(seq 50); do
  read -r word port <"$config/host.out" || true
  [ "$word" = port ] && break
  sleep 0.1
done
if [ "$word" != port ]; then
  echo "run-demo: morlen-host did not start" >&2
  exit 1
fi
echo "Demo board on 127.0.0.1:$port: open Connect (F7) and pick \"$entry\"."
XDG_CONFIG_HOME=$config "$build/morlen"
