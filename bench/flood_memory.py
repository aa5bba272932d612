#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Floods the real terminal from the local host and follows its memory.

usage: flood_memory.py BUILD_DIR [--kind ordinary] [--mib 1000] [--scale 2]

One flood of one stream kind (see flood_streams.py), as flood_latency.py
runs it: a virtual display, the local host sending the stream, the program
connected to it through the address book. No keys are pressed. The
program's resident set is sampled every quarter second until the last byte
is read. Prints the size it had with the address book open, then how far
above that it went: at each tenth of the flood's time, at the end and at
its peak.
Runs inside a private network namespace (loopback only).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import flood_latency  # noqa: E402  (the display, host and program set-up)

MIB = 1 << 20


def follow(run):
    """(samples of (seconds since the start, resident KiB), seconds) until the flood is over."""
    pid = run.program_proc.pid
    samples = []
    quiet_since = None
    flowing = False
    started = time.monotonic()
    while True:
        found, host_tx, program_rx = flood_latency.tcp_queues(run.port)
        if not found or run.program_proc.poll() is not None:
            raise RuntimeError("the connection ended")
        now = time.monotonic()
        # Over once the bytes that flowed have stopped for half a second.
        if host_tx == 0 and program_rx == 0:
            quiet_since = quiet_since or now
            if flowing and now - quiet_since > 0.5:
                break
        else:
            quiet_since = None
            flowing = True
        samples.append((now - started, flood_latency.status_kib(pid, "VmRSS")))
        time.sleep(0.25)
    return samples, quiet_since - started


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build")
    parser.add_argument("--kind", default="ordinary")
    parser.add_argument("--mib", type=float, default=1000)
    parser.add_argument("--scale", type=int, default=2)
    args = parser.parse_args()
    flood_latency.isolate()
    tmp = tempfile.mkdtemp(prefix="morlen-memory-")
    try:
        stream = os.path.join(tmp, args.kind + ".seq")
        subprocess.run([sys.executable, os.path.join(HERE, "flood_streams.py"), args.kind, str(args.mib), stream],
                       check=True)
        run = flood_latency.Run(os.path.abspath(args.build), stream, os.path.join(tmp, "run"), args.scale)
        os.makedirs(run.tmp)
        try:
            run.display()
            config = run.host()
            run.program(config)
            run.connect()
            samples, seconds = follow(run)
            peak = flood_latency.status_kib(run.program_proc.pid, "VmHWM")
        finally:
            run.stop()
        size = os.path.getsize(stream)
        base = run.base_rss
        print(f"{args.kind} {size / MIB:.0f} MiB in {seconds:.1f} s; resident with the address book open: "
              f"{base / 1024:.0f} MiB")
        print("flood time  above that")
        for tenth in range(1, 11):
            reached = [rss for at, rss in samples if at >= seconds * tenth / 10]
            if reached:
                print(f"{tenth * 10:7d} %   {(reached[0] - base) / 1024:7.0f} MiB")
        print(f"end         {(samples[-1][1] - base) / 1024:7.0f} MiB")
        print(f"peak        {(peak - base) / 1024:7.0f} MiB")
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
