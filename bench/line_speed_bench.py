#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real terminal showing a long stream at a line speed, and flooded.

usage: line_speed_bench.py BUILD_DIR [--speeds 0,115200] [--seconds 30]
                           [--flood-speed 1200] [--flood-seconds 20] [--scale 2]

CPU: one ordinary stream (see flood_streams.py) as long as --seconds takes
at the fastest speed asked for, sent at once by the local host; the program
connects to it (F7, Enter) with its entry at each speed in turn (0 is Off;
a speed that would take more than twice --seconds is skipped).
Prints how long the stream took to show, the program's CPU time over that
time (user and system, from /proc) and that as a share of one core.
At a speed, the stream has been shown once the connection holds nothing
unread and two seconds' worth (the most the program queues) have passed.

Flood: a 50 MB stream at --flood-speed for --flood-seconds. Prints the
program's resident memory once connected and at the end, and what the
connection holds unread on the program's side (its reading waits for the
screen; TCP holds the board back).
Runs inside a private network namespace (loopback only), on its own Xvfb.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import flood_latency  # noqa: E402  (its display, host, program and connection)

HERE = os.path.dirname(os.path.abspath(__file__))
BITS_PER_BYTE = 10
MOST_QUEUED_SECONDS = 2


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def at_speed(run, speed):
    """The host's configuration for the program, with the entry at `speed`."""
    config = run.host()
    path = os.path.join(config, "Vendorly", "Morlen", "morlen.config")
    with open(path) as f:
        text = f.read()
    with open(path, "w") as f:
        f.write(re.sub(r'"lineSpeed":\d+', f'"lineSpeed":{speed}', text))
    return config


def show_stream(build, stream, speed, scale, tmp):
    run = flood_latency.Run(build, stream, os.path.join(tmp, f"cpu-{speed}-{time.monotonic_ns()}"), scale)
    os.makedirs(run.tmp)
    try:
        run.display()
        run.program(at_speed(run, speed))
        pid = run.program_proc.pid
        run.key(run.window, "F7")
        book = flood_latency.wait_for(lambda: flood_latency.find_window("^Address Book$"), 10, 0.1)
        if not book:
            raise RuntimeError("the address book did not open")
        run.key(book, "Home")
        time.sleep(0.5)
        # From the key that connects: the address book closing is part of it.
        cpu0, t0 = cpu_seconds(pid), time.monotonic()
        run.key(book, "Return")
        if not flood_latency.wait_for(lambda: flood_latency.tcp_queues(run.port)[0], 10, 0.005):
            raise RuntimeError("no connection")
        # The connection has held nothing for a moment: all was read.
        quiet = None
        while True:
            found, host_tx, program_rx = flood_latency.tcp_queues(run.port)
            now = time.monotonic()
            if not found or run.program_proc.poll() is not None:
                raise RuntimeError("the connection ended")
            if host_tx or program_rx:
                quiet = None
            elif quiet is None:
                quiet = now
            elif now - quiet > 0.2:
                break
            time.sleep(0.005)
        if speed:
            time.sleep(max(0.0, quiet + MOST_QUEUED_SECONDS - time.monotonic()))
            end = time.monotonic()
        else:
            end = quiet
        return end - t0, cpu_seconds(pid) - cpu0
    finally:
        run.stop()
        shutil.rmtree(run.tmp, ignore_errors=True)


def flood(build, stream, speed, seconds, scale, tmp):
    run = flood_latency.Run(build, stream, os.path.join(tmp, f"flood-{time.monotonic_ns()}"), scale)
    os.makedirs(run.tmp)
    try:
        run.display()
        run.program(at_speed(run, speed))
        pid = run.program_proc.pid
        run.connect()
        time.sleep(1)
        first = flood_latency.status_kib(pid, "VmRSS")
        samples = []
        for _ in range(int(seconds)):
            time.sleep(1)
            samples.append(flood_latency.status_kib(pid, "VmRSS"))
        _, host_tx, program_rx = flood_latency.tcp_queues(run.port)
        return first, samples, program_rx, host_tx, flood_latency.status_kib(pid, "VmHWM")
    finally:
        run.stop()
        shutil.rmtree(run.tmp, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--speeds", default="0,115200")
    parser.add_argument("--seconds", type=float, default=30)
    parser.add_argument("--flood-speed", type=int, default=1200)
    parser.add_argument("--flood-seconds", type=float, default=20)
    parser.add_argument("--scale", type=int, default=2)
    args = parser.parse_args()
    flood_latency.isolate()
    build = os.path.abspath(args.build)
    speeds = [int(s) for s in args.speeds.split(",")]
    tmp = tempfile.mkdtemp(prefix="morlen-speed-")
    try:
        stream = os.path.join(tmp, "stream.seq")
        mib = max(speeds) / BITS_PER_BYTE * args.seconds / 2**20
        subprocess.run([sys.executable, os.path.join(HERE, "flood_streams.py"), "ordinary", str(mib), stream],
                       check=True)
        size = os.path.getsize(stream)
        print(f"an ordinary stream of {size} bytes, scale {args.scale}")
        for speed in speeds:
            name = f"{speed} bps" if speed else "Off"
            if speed and size * BITS_PER_BYTE / speed > 2 * args.seconds:
                print(f"{name:>10s}: skipped, the stream would take {size * BITS_PER_BYTE / speed:.0f} s")
                continue
            seconds, cpu = show_stream(build, stream, speed, args.scale, tmp)
            print(f"{name:>10s}: shown in {seconds:6.2f} s, CPU {cpu:5.2f} s, "
                  f"{100 * cpu / seconds:5.1f}% of one core", flush=True)
        os.remove(stream)
        if args.flood_seconds > 0:
            subprocess.run([sys.executable, os.path.join(HERE, "flood_streams.py"), "ordinary", "50", stream],
                           check=True)
            first, samples, unread, unsent, peak = flood(build, stream, args.flood_speed, args.flood_seconds,
                                                         args.scale, tmp)
            print(f"50 MB flood at {args.flood_speed} bps for {args.flood_seconds:.0f} s: resident "
                  f"{first} KiB after 1 s, {samples[-1]} KiB at the end (least {min(samples)}, most "
                  f"{max(samples)}, peak {peak} KiB); the program's socket holds {unread} bytes unread, "
                  f"the host's {unsent} unsent")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
