#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Floods the real terminal from the local host and times key presses.

usage: flood_latency.py BUILD_DIR [BUILD_DIR...] [--kinds ordinary,returns,hostile]
                        [--mib 50] [--repeat 3] [--scale 2]

For each kind of stream (see flood_streams.py): a virtual display, the
local host sending the stream and recording what the terminal sends, the
program connected to it through the address book (F7, Enter). While the
flood runs, a key is pressed with xdotool every 5-15 ms and timed from
just before xdotool starts until its byte lands in the host's record.
Each flood runs --repeat times with a fresh program; several builds take
turns, so that they meet the same machine.
Prints per build and stream: the flood's duration, key latency over all
runs (count, median, 99th percentile, maximum) and the program's memory
growth per received byte (resident set after the flood minus once the
address book is open, and the peak), the median of the runs.
Runs inside a private network namespace (loopback only).
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MAIN_TITLE = "^Morlen v1\\.0\\.0/Vendorly$"
# An unusual size tells our display from any other one on the machine: a
# client whose own server has gone would fall back to another's socket.
SCREEN = "1600x1208"
BOOK_TITLE = "^Address Book$"


def isolate():
    """Re-runs this script in a private network namespace with lo up."""
    if os.environ.get("FLOOD_IN_NAMESPACE"):
        return
    os.environ["FLOOD_IN_NAMESPACE"] = "1"
    script = 'ip link set lo up && exec "$@"'
    os.execvp("unshare", ["unshare", "-n", "sh", "-c", script, "_", sys.executable] + sys.argv)


def wait_for(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def xdotool(*args, timeout=10):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout).stdout.strip()


def find_window(title):
    try:
        found = xdotool("search", "--onlyvisible", "--name", title, timeout=3)
    except subprocess.TimeoutExpired:
        return None
    return found.splitlines()[0] if found else None


def status_kib(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def tcp_queues(port):
    """(bytes the host has not yet had acknowledged, bytes the program has not read) on the connection."""
    host_tx = program_rx = 0
    found = False
    with open("/proc/net/tcp") as f:
        next(f)
        for line in f:
            parts = line.split()
            local_port = int(parts[1].split(":")[1], 16)
            remote_port = int(parts[2].split(":")[1], 16)
            tx, rx = (int(x, 16) for x in parts[4].split(":"))
            if parts[3] != "01":  # established only
                continue
            if local_port == port:
                host_tx, found = tx, True
            elif remote_port == port:
                program_rx, found = rx, True
    return found, host_tx, program_rx


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


class Run:
    def __init__(self, build, stream, tmp, scale):
        self.build, self.stream, self.tmp, self.scale = build, stream, tmp, scale
        self.procs = []

    def start(self, args, **kwargs):
        proc = subprocess.Popen(args, **kwargs)
        self.procs.append(proc)
        return proc

    def stop(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
        for proc in reversed(self.procs):
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()

    def display(self):
        # Xvfb picks a free display itself and writes its number to a file.
        number_file = os.path.join(self.tmp, "display")
        with open(number_file, "w") as out:
            self.xvfb = self.start(["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", SCREEN + "x24",
                                    "-nolisten", "tcp", "-noreset"], pass_fds=(out.fileno(),),
                                   stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.tmp, "xvfb.log"), "w"))

        def number():
            if self.xvfb.poll() is not None:
                raise RuntimeError("the virtual display ended")
            with open(number_file) as f:
                return f.read().strip()

        display = wait_for(number, 30)
        if not display:
            raise RuntimeError("the virtual display did not start")
        os.environ["DISPLAY"] = ":" + display
        if not wait_for(self.own_display, 30):
            raise RuntimeError("the display did not answer")

    def own_display(self):
        if self.xvfb.poll() is not None:
            raise RuntimeError("the virtual display ended")
        info = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
        return f"dimensions:    {SCREEN} pixels" in info

    def key(self, window, *keys):
        """Focuses our own window and presses keys, never on another display."""
        if not self.own_display():
            raise RuntimeError("not our display")
        xdotool("windowfocus", "--sync", window, timeout=60)
        if keys:
            xdotool("key", "--delay", "50", *keys)

    def host(self):
        config = os.path.join(self.tmp, "config")
        self.record = os.path.join(self.tmp, "typed")
        open(self.record, "wb").close()
        out = open(os.path.join(self.tmp, "host.out"), "w+")
        self.start([os.path.join(self.build, "morlen-host"), "--port", "0", "--script", self.stream,
                    "--record", self.record, "--write-config", config], stdout=out, stderr=subprocess.STDOUT)

        def port():
            out.seek(0)
            m = re.search(r"^port (\d+)", out.read(), re.M)
            return int(m.group(1)) if m else None

        self.port = wait_for(port, 10)
        config_file = os.path.join(config, "Vendorly", "Morlen", "morlen.config")
        if not self.port or not wait_for(lambda: os.path.exists(config_file), 10):
            raise RuntimeError("the host did not start")
        with open(config_file) as f:
            text = re.sub(r'"petsciiScale":\s*\d+', f'"petsciiScale":{self.scale}', f.read())
        with open(config_file, "w") as f:
            f.write(text)
        return config

    def program(self, config):
        env = dict(os.environ, XDG_CONFIG_HOME=config, HOME=os.path.join(self.tmp, "home"))
        os.makedirs(env["HOME"], exist_ok=True)
        self.program_proc = self.start([os.path.join(self.build, "morlen")], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = wait_for(lambda: self.own_display() and find_window(MAIN_TITLE), 30, 0.1)
        if not self.window:
            raise RuntimeError("the main window did not appear")
        time.sleep(1.0)  # first paint, fonts

    def connect(self):
        book = None
        for _ in range(3):  # a key pressed while the window settles can be lost
            self.key(self.window, "F7")
            book = wait_for(lambda: find_window(BOOK_TITLE), 10, 0.1)
            if book:
                break
        if not book:
            raise RuntimeError("the address book did not open")
        # Memory is counted from here: the address book window is part of
        # making the connection, not of receiving the stream.
        self.base_rss = status_kib(self.program_proc.pid, "VmRSS")
        for _ in range(3):
            self.key(book, "Home", "Return")
            if wait_for(lambda: tcp_queues(self.port)[0], 10, 0.01):
                break
        else:
            raise RuntimeError("no connection")
        # The address book has gone: the main window takes the keys.
        wait_for(lambda: not find_window(BOOK_TITLE), 30, 0.05)
        self.key(self.window)

    def measure(self):
        pid = self.program_proc.pid
        latencies = []
        quiet_since = None
        started = time.monotonic()
        rng = random.Random(15)
        while True:
            found, host_tx, program_rx = tcp_queues(self.port)
            now = time.monotonic()
            if host_tx == 0 and program_rx == 0:
                quiet_since = quiet_since or now
                if now - quiet_since > 0.5:
                    break
            else:
                quiet_since = None
            if not found or self.program_proc.poll() is not None:
                raise RuntimeError("the connection ended")
            if not self.own_display():
                raise RuntimeError("not our display")
            before = os.path.getsize(self.record)
            t0 = time.monotonic()
            subprocess.run(["xdotool", "key", "a"], capture_output=True, timeout=30)
            while os.path.getsize(self.record) == before:
                if time.monotonic() - t0 > 30:
                    raise RuntimeError("a key press did not arrive within 30 s")
                time.sleep(0.0005)
            latencies.append((t0, time.monotonic() - t0))
            time.sleep(rng.uniform(0.005, 0.015))
        flood_seconds = quiet_since - started
        # Only keys pressed while bytes were still arriving count.
        latencies = [latency for t0, latency in latencies if t0 < quiet_since]
        time.sleep(0.5)
        rss = status_kib(pid, "VmRSS")
        peak = status_kib(pid, "VmHWM")
        return latencies, flood_seconds, rss, peak


def run_flood(build, kind, stream, scale, tmp):
    run = Run(build, stream, os.path.join(tmp, f"{kind}-{time.monotonic_ns()}"), scale)
    os.makedirs(run.tmp)
    try:
        run.display()
        config = run.host()
        run.program(config)
        run.connect()
        latencies, seconds, rss, peak = run.measure()
    finally:
        run.stop()
        shutil.rmtree(run.tmp, ignore_errors=True)
    size = os.path.getsize(stream)
    return latencies, seconds, (rss - run.base_rss) * 1024 / size, (peak - run.base_rss) * 1024 / size


def report(build, kind, size, runs):
    ms = [x * 1000 for r in runs for x in r[0]]
    keys = len(ms)
    ms = ms or [float("nan")]  # a flood that ended before the first key
    seconds = statistics.median(r[1] for r in runs)
    memory = statistics.median(r[2] for r in runs)
    peak = statistics.median(r[3] for r in runs)
    print(f"{build}: {kind:9s} {size / 1e6:5.1f} MB in {seconds:6.2f} s | keys {keys:4d} "
          f"median {statistics.median(ms):7.1f} ms p99 {percentile(ms, 0.99):7.1f} ms max {max(ms):7.1f} ms | "
          f"memory {memory:5.2f} B/B (peak {peak:5.2f})", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("builds", nargs="+")
    parser.add_argument("--kinds", default="ordinary,returns,hostile")
    parser.add_argument("--mib", type=float, default=50)
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--scale", type=int, default=2, help="the terminal's scale, 1-8")
    args = parser.parse_args()
    isolate()
    tmp = tempfile.mkdtemp(prefix="morlen-flood-")
    try:
        print(f"stream, size, flood time (median) | key latency, all runs | memory growth per received byte")
        for kind in args.kinds.split(","):
            stream = os.path.join(tmp, kind + ".seq")
            subprocess.run([sys.executable, os.path.join(HERE, "flood_streams.py"), kind, str(args.mib), stream],
                           check=True)
            runs = {build: [] for build in args.builds}
            for _ in range(args.repeat):
                for build in args.builds:
                    runs[build].append(run_flood(os.path.abspath(build), kind, stream, args.scale, tmp))
            for build in args.builds:
                report(build, kind, os.path.getsize(stream), runs[build])
            os.remove(stream)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
