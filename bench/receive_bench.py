#!/usr/bin/env python3
"""Receive benchmark of the real Tavrino.exe under Wine, against the bare receive loop.

Runs on Linux (standard library only) inside an X session (xvfb-run), with WINEPREFIX set to
the build's Wine prefix. It sends 100-byte UDP datagrams on 127.0.0.1 and reads what the
receivers show: BaselineReceiver.exe prints its count after every poll; Tavrino is watched from
outside by TavrinoProbe.exe (lines in the view, time the window takes to answer WM_NULL).
Every measurement starts a fresh receiver process. Prints a short table with the targets.

Under Wine every socket call is a round trip to the wineserver, so the figures are judged as
ratios to the baseline measured in the same run. The wineserver and all Wine processes run on
CPU 0 and the sender on CPU 1: unpinned, Wine's socket throughput flips between two levels.
"""
import argparse
import os
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

DATAGRAM_SIZE = 100
WANTED_RMEM = 8 * 1024 * 1024
LADDER = [1000, 2000, 3000, 4000, 5000, 6000, 8000, 10000, 12000, 15000, 20000, 25000, 30000,
          40000, 50000]
LADDER_SECONDS = 3.0
LADDER_REFINEMENTS = 2      # halvings of the gap between the last lossless and the first lossy rate
LADDER_RESOLUTION = 250
BURST = 10000
FLOOD_SECONDS = 5.0
APPEND_BURST = 2000
APPEND_REPEATS = 3
FULL_VIEW = 100000
START_REPEATS = 5
SETTLE_QUIET_MS = 1500      # a count unchanged this long (while the receiver answers) is final
SETTLE_LIMIT_S = 30.0


def now_ms():
    """Realtime clock in Unix milliseconds, the clock the probes print."""
    return time.time() * 1000.0


def log(text):
    print(text, file=sys.stderr, flush=True)


class BenchError(Exception):
    pass


class Wine:
    """Starts Wine programs of one prefix, pinned to CPU 0 when pinning is on."""

    def __init__(self, prefix, pin):
        self.prefix = prefix
        self.pin = pin
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")

    def command(self, *args):
        return (["taskset", "-c", "0"] if self.pin else []) + list(args)

    def run(self, *args, timeout=60):
        """Runs a program to its end; returns (exit code, output, error output). The output goes
        through files, not pipes: programs the run starts (Wine's services, Tavrino) inherit them
        and would hold a pipe open after the program has ended."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            code = subprocess.run(self.command(*args), env=self.env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=err, timeout=timeout).returncode
            out.seek(0)
            err.seek(0)
            return code, out.read().decode(errors="replace"), err.read().decode(errors="replace")

    def popen(self, *args, stdin=subprocess.DEVNULL):
        return subprocess.Popen(self.command(*args), env=self.env, stdin=stdin,
                                stdout=subprocess.PIPE, text=True, bufsize=1)

    def start_server(self):
        # The server must start pinned (its CPU is inherited from the process that starts it),
        # before the first Wine program, and persistent, so that Wine's services, started by the
        # first program, do not hold the pipes of the measured programs.
        self.stop_server()
        self.run("wineserver", "-p", timeout=30)
        self.run("wine", "cmd", "/c", "exit", timeout=120)

    def stop_server(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)


def windows_path(path):
    # Wine maps drive Z: to the Linux root.
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def port_free(port):
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        probe.bind(("0.0.0.0", port))
        return True
    except OSError:
        return False
    finally:
        probe.close()


def wait_port_free(port, limit_s=15.0):
    deadline = time.monotonic() + limit_s
    while not port_free(port):
        if time.monotonic() > deadline:
            raise BenchError(f"UDP port {port} stays in use; is another receiver running?")
        time.sleep(0.1)


class Samples:
    """Lines a probe prints, "<unix-ms> <shown> [<wm_null-ms> <line-count-ms>]", read on a
    thread."""

    def __init__(self, stream):
        self.items = []          # (time ms, shown, WM_NULL wait ms, both waits ms) or Nones
        self.lock = threading.Lock()
        self.arrived = threading.Event()
        self.thread = threading.Thread(target=self._read, args=(stream,), daemon=True)
        self.thread.start()

    def _read(self, stream):
        for line in stream:
            parts = line.split()
            try:
                t, shown = float(parts[0]), int(parts[1])
                latency = float(parts[2]) if len(parts) > 2 else None
                waits = latency + float(parts[3]) if len(parts) > 3 else None
            except (IndexError, ValueError):
                continue
            if shown < 0:        # the view gave no answer in time
                shown = self.items[-1][1] if self.items else 0
            with self.lock:
                self.items.append((t, shown, latency, waits))
            self.arrived.set()

    def snapshot(self):
        with self.lock:
            return list(self.items)

    def last(self):
        with self.lock:
            return self.items[-1] if self.items else None


class Receiver:
    """One receiver process under measurement; subclasses start and watch it."""
    name = ""

    def __init__(self, bench):
        self.bench = bench
        self.samples = None
        self.baseline_shown = 0

    def shown(self):
        last = self.samples.last()
        return (last[1] if last else 0) - self.baseline_shown

    def wait_first_sample(self, limit_s=30.0):
        if not self.samples.arrived.wait(limit_s):
            raise BenchError(f"{self.name} printed nothing within {limit_s:.0f} s")
        self.baseline_shown = self.samples.last()[1]

    def settle(self, expected, since_ms):
        """Waits until `expected` are shown, or the count stays unchanged; returns
        (shown, time ms of the sample that first showed it)."""
        deadline = time.monotonic() + SETTLE_LIMIT_S
        while time.monotonic() < deadline:
            time.sleep(0.05)
            items = [s for s in self.samples.snapshot() if s[0] >= since_ms]
            if not items:
                continue
            final = items[-1][1]
            first_final = next(s[0] for s in items if s[1] == final)
            if final - self.baseline_shown >= expected or items[-1][0] - first_final >= SETTLE_QUIET_MS:
                return final - self.baseline_shown, first_final
        items = self.samples.snapshot()
        final = items[-1][1] if items else self.baseline_shown
        return final - self.baseline_shown, items[-1][0] if items else now_ms()

    def stop(self):
        raise NotImplementedError


class BaselineReceiver(Receiver):
    name = "baseline"

    # It prints its count after every poll itself, so there is no watch to set up.
    def __init__(self, bench, watch_interval_ms=None):  # pylint: disable=unused-argument
        super().__init__(bench)
        wait_port_free(bench.port)
        self.process = bench.wine.popen("wine", bench.tool("BaselineReceiver.exe"), str(bench.port))
        bench.started.append(self.process)
        self.samples = Samples(self.process.stdout)
        self.wait_first_sample()

    def stop(self):
        stop_process(self.process)


def stop_process(process):
    if process.poll() is None:
        process.kill()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        log(f"process {process.pid} did not end")


def linux_pids_of(exe_path, prefix):
    """Linux processes that run the Windows program exe_path in the given Wine prefix."""
    # Wine shows the program's path as it was started, a Windows or a Linux path.
    wanted = {windows_path(exe_path).lower(), os.path.realpath(exe_path).lower()}
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                first = f.read().split(b"\0")[0].decode(errors="replace")
            if first.lower() not in wanted:
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
            if f"WINEPREFIX={prefix}".encode() in env:
                pids.append(int(entry))
        except OSError:
            continue
    return pids


class Tavrino(Receiver):
    name = "Tavrino"

    def __init__(self, bench, watch_interval_ms=10):
        super().__init__(bench)
        self.pid = None
        self.watch = None
        wait_port_free(bench.port)
        known = set(linux_pids_of(bench.tavrino, bench.wine.prefix))
        args = [] if bench.port == 6702 else [f"/Port:{bench.port}"]
        code, out, err = bench.wine.run("wine", bench.tool("TavrinoProbe.exe"), "start",
                                        windows_path(bench.tavrino), *args, timeout=90)
        deadline = time.monotonic() + 10
        while self.pid is None and time.monotonic() < deadline:
            fresh = [p for p in linux_pids_of(bench.tavrino, bench.wine.prefix) if p not in known]
            self.pid = fresh[0] if fresh else None
            if self.pid is None:
                time.sleep(0.05)
        if self.pid is not None:
            bench.started_pids.append(self.pid)
        if code != 0 or not out.split():
            self.stop()
            raise BenchError(f"TavrinoProbe start failed ({code}): {err.strip()}")
        self.visible_ms = float(out.split()[0])
        if self.pid is None:
            raise BenchError("cannot find the Linux process of Tavrino.exe")
        self.watch = bench.wine.popen("wine", bench.tool("TavrinoProbe.exe"), "watch",
                                      str(watch_interval_ms), stdin=subprocess.PIPE)
        bench.started.append(self.watch)
        self.samples = Samples(self.watch.stdout)
        self.wait_first_sample()

    def rss_kb(self):
        with open(f"/proc/{self.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise BenchError("no VmRSS for Tavrino.exe")

    def stop(self):
        if self.watch is not None:
            try:
                self.watch.stdin.close()     # the probe ends at the end of its input
                self.watch.wait(5)
            except (OSError, subprocess.TimeoutExpired):
                pass
            stop_process(self.watch)
        if self.pid is not None:
            try:
                os.kill(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            deadline = time.monotonic() + 10
            while os.path.exists(f"/proc/{self.pid}") and time.monotonic() < deadline:
                time.sleep(0.05)


class Sender:
    """Native sender of numbered 100-byte datagrams to 127.0.0.1."""

    def __init__(self, port):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.target = ("127.0.0.1", port)
        self.seq = 0

    def _send_one(self):
        self.seq += 1
        head = b"%010d " % self.seq
        self.sock.sendto(head + b"x" * (DATAGRAM_SIZE - len(head)), self.target)

    def burst(self, count):
        """Sends as fast as possible; returns (first, last) send times in ms."""
        first = now_ms()
        for _ in range(count):
            self._send_one()
        return first, now_ms()

    def paced(self, rate, count):
        """Sends `count` datagrams at `rate` per second in 1 ms slots; returns (first, last)."""
        first = now_ms()
        start = time.monotonic()
        sent = slot = 0
        while sent < count:
            slot += 1
            due = min(count, (rate * slot) // 1000)
            while sent < due:
                self._send_one()
                sent += 1
            wait = start + slot / 1000.0 - time.monotonic()
            if wait > 0:
                time.sleep(wait)
        return first, now_ms()

    def close(self):
        self.sock.close()


class Bench:
    def __init__(self, args):
        self.port = args.port
        self.build = os.path.abspath(args.build)
        self.tavrino = os.path.abspath(args.tavrino or os.path.join(self.build, "Tavrino.exe"))
        prefix = os.environ.get("WINEPREFIX") or os.path.join(self.build, "wineprefix")
        self.pin = (os.cpu_count() or 1) >= 2 and not args.no_pin
        self.wine = Wine(os.path.abspath(prefix), self.pin)
        self.sender = Sender(self.port)
        self.started = []        # Popen objects of Wine programs
        self.started_pids = []   # Linux pids of the Tavrino processes
        self.notes = []
        self.rmem_restore = None

    def tool(self, name):
        return os.path.join(self.build, "bench", name)

    # --- environment -------------------------------------------------------------------------
    def prepare(self):
        for path in (self.tavrino, self.tool("TavrinoProbe.exe"), self.tool("BaselineReceiver.exe")):
            if not os.path.exists(path):
                raise BenchError(f"missing {path}: build first (scripts/build.sh)")
        if not os.environ.get("DISPLAY"):
            raise BenchError("no X display: run inside xvfb-run (scripts/bench.sh does)")
        self.raise_rmem()
        if self.pin:
            os.sched_setaffinity(0, {1})
            self.notes.append("pinned: wineserver and Wine programs on CPU 0, sender on CPU 1")
        else:
            self.notes.append("not pinned (one CPU or --no-pin): Wine figures may vary widely")
        log("starting the wineserver")
        self.wine.start_server()
        # Fails early when the program cannot start, and warms the file cache for the start times.
        self.fresh(Tavrino).stop()

    def raise_rmem(self):
        path = "/proc/sys/net/core/rmem_max"
        with open(path) as f:
            current = int(f.read())
        if current >= WANTED_RMEM:
            self.notes.append(f"net.core.rmem_max = {current}")
            return
        try:
            with open(path, "w") as f:
                f.write(str(WANTED_RMEM))
            self.rmem_restore = current
            self.notes.append(f"net.core.rmem_max raised from {current} to {WANTED_RMEM} for "
                              "this run (restored at the end)")
        except OSError:
            self.notes.append(f"net.core.rmem_max is {current} and may not be raised here: the "
                              "receive buffers and so the figures are capped")

    def cleanup(self):
        for process in self.started:
            if process.poll() is None:
                stop_process(process)
        for pid in self.started_pids:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        try:
            self.wine.stop_server()
        except (OSError, subprocess.SubprocessError) as e:
            log(f"wineserver -k failed: {e}")
        self.sender.close()
        if self.rmem_restore is not None:
            try:
                with open("/proc/sys/net/core/rmem_max", "w") as f:
                    f.write(str(self.rmem_restore))
            except OSError as e:
                log(f"could not restore net.core.rmem_max: {e}")

    # --- measurements ------------------------------------------------------------------------
    def fresh(self, kind, **kw):
        return kind(self, **kw)

    def ladder_step(self, kind, rate, steps):
        """Streams LADDER_SECONDS of `rate` datagrams/s to a fresh receiver; True when lossless."""
        # The watch samples seldom here: only the final count matters, and the probe shares
        # the CPU with the receiver.
        receiver = self.fresh(kind, watch_interval_ms=100)
        try:
            count = int(rate * LADDER_SECONDS)
            first, last = self.sender.paced(rate, count)
            shown, _ = receiver.settle(count, first)
        finally:
            receiver.stop()
        late = (last - first) / 1000.0 - LADDER_SECONDS
        steps.append((rate, f"{rate}: {count - shown}" +
                      (f" (sender {late:.2f} s late)" if late > 0.3 else "")))
        log(f"  {kind.name} {rate}/s: {shown} of {count} shown")
        return shown >= count

    def lossless_rate(self, kind):
        """Climbs the ladder until a rate loses datagrams, then halves the last gap twice."""
        steps = []
        best, lossy = 0, None
        for rate in LADDER:
            if not self.ladder_step(kind, rate, steps):
                lossy = rate
                break
            best = rate
        for _ in range(LADDER_REFINEMENTS):
            if lossy is None or lossy - best <= LADDER_RESOLUTION:
                break
            middle = (best + lossy) // 2 // LADDER_RESOLUTION * LADDER_RESOLUTION
            if middle <= best:
                break
            if self.ladder_step(kind, middle, steps):
                best = middle
            else:
                lossy = middle
        return best, [text for _, text in sorted(steps)]

    def burst(self, kind):
        receiver = self.fresh(kind)
        try:
            first, last = self.sender.burst(BURST)
            shown, shown_at = receiver.settle(BURST, first)
        finally:
            receiver.stop()
        log(f"  {kind.name} burst: {shown} of {BURST} shown, sent in {last - first:.0f} ms")
        return BURST - shown, shown_at - last

    def flood(self, lossless):
        rate = min(50000, max(20000, 2 * lossless))
        receiver = self.fresh(Tavrino, watch_interval_ms=20)
        try:
            count = int(rate * FLOOD_SECONDS)
            first, _ = self.sender.paced(rate, count)
            shown, _ = receiver.settle(count, first)
            latencies = [s[2] for s in receiver.samples.snapshot() if s[0] >= first]
        finally:
            receiver.stop()
        log(f"  flood {rate}/s: {shown} of {count} shown")
        return max(latencies), shown, rate

    def show_bursts(self, receiver, idle_latency):
        """Shows APPEND_BURST datagrams APPEND_REPEATS times; returns the median time from the
        first datagram sent to the last line shown, and the median time the window was busy
        (the summed waits for the probe's answers, which leaves out the wait for the next
        poll)."""
        shows, busies = [], []
        for _ in range(APPEND_REPEATS):
            time.sleep(0.3)
            before = receiver.shown()
            first, _ = self.sender.burst(APPEND_BURST)
            shown, shown_at = receiver.settle(before + APPEND_BURST, first)
            if shown < before + APPEND_BURST:
                self.notes.append(f"append test lost {before + APPEND_BURST - shown} datagrams")
            window = [s for s in receiver.samples.snapshot() if first <= s[0] <= shown_at]
            shows.append(shown_at - first)
            busies.append(sum(max(0.0, s[3] - idle_latency) for s in window))
        return statistics.median(shows), statistics.median(busies)

    def append_and_memory(self, lossless):
        receiver = self.fresh(Tavrino, watch_interval_ms=2)
        try:
            time.sleep(1.0)
            rss_empty = receiver.rss_kb()
            recent = [s[3] for s in receiver.samples.snapshot() if s[0] >= now_ms() - 500]
            idle = statistics.median(recent) if recent else 0.0
            empty = self.show_bursts(receiver, idle)
            fill_rate = max(1000, min(20000, lossless // 2))
            for _ in range(3):   # top up once or twice when the fill lost datagrams
                missing = FULL_VIEW - receiver.shown()
                if missing <= 0:
                    break
                before = receiver.shown()
                first, _ = self.sender.paced(fill_rate, missing)
                receiver.settle(before + missing, first)
                fill_rate = max(1000, fill_rate // 2)
            held = receiver.shown()
            rss_full = receiver.rss_kb()
            full = self.show_bursts(receiver, idle)
        finally:
            receiver.stop()
        log(f"  view filled to {held} lines; RSS {rss_empty} kB -> {rss_full} kB")
        per_line = (rss_full - rss_empty) * 1024.0 / held if held else float("nan")
        return empty, full, held, per_line

    def start_times(self):
        times = []
        for _ in range(START_REPEATS):
            receiver = self.fresh(Tavrino)
            times.append(receiver.visible_ms)
            receiver.stop()
        return statistics.median(times), min(times), max(times)

    def run(self):
        results = {}
        for kind in (BaselineReceiver, Tavrino):
            log(f"{kind.name}: datagrams/s shown without loss")
            results[kind.name, "rate"] = self.lossless_rate(kind)
            log(f"{kind.name}: {BURST}-datagram burst")
            results[kind.name, "burst"] = self.burst(kind)
        lossless = results["Tavrino", "rate"][0]
        log("Tavrino: answer time during a flood")
        results["flood"] = self.flood(lossless)
        log("Tavrino: appending at 100,000 lines, memory per line")
        results["append"] = self.append_and_memory(lossless)
        log("Tavrino: start to visible window")
        results["start"] = self.start_times()
        return results


def verdict(ok):
    return "met" if ok else "MISSED"


def report(bench, r, elapsed):
    base_rate, base_steps = r["baseline", "rate"]
    tav_rate, tav_steps = r["Tavrino", "rate"]
    base_lost, base_ms = r["baseline", "burst"]
    tav_lost, tav_ms = r["Tavrino", "burst"]
    flood_max, flood_lines, flood_rate = r["flood"]
    (empty_show, empty_busy), (full_show, full_busy), held, per_line = r["append"]
    start_med, start_min, start_max = r["start"]
    ratio = tav_rate / base_rate if base_rate else float("nan")
    append_ratio = full_busy / empty_busy if empty_busy else float("nan")
    show_ratio = full_show / empty_show if empty_show else float("nan")

    rows = [
        ("datagrams/s shown without loss", f"{base_rate}", f"{tav_rate}",
         f">= 1.0 x baseline: {ratio:.2f} x, {verdict(ratio >= 1.0)}"),
        (f"lost of a {BURST:,}-datagram burst", f"{base_lost}", f"{tav_lost}",
         f"0: {verdict(tav_lost == 0)}"),
        ("burst: last datagram to last line, ms", f"{base_ms:.0f}", f"{tav_ms:.0f}", ""),
        ("longest WM_NULL answer in a flood, ms", "-", f"{flood_max:.0f}",
         f"< 500: {verdict(flood_max < 500)}"),
        (f"  (flood {flood_rate}/s for {FLOOD_SECONDS:.0f} s: view reached)", "-",
         f"{flood_lines:,} lines", ""),
        (f"show {APPEND_BURST:,} datagrams, empty view, ms", "-",
         f"{empty_show:.0f} (busy {empty_busy:.0f})", ""),
        (f"show {APPEND_BURST:,} datagrams at {held:,} lines, ms", "-",
         f"{full_show:.0f} (busy {full_busy:.0f})",
         f"busy <= 2 x empty: {append_ratio:.2f} x, {verdict(append_ratio <= 2)}"
         f" (shown: {show_ratio:.2f} x)"),
        ("memory per line held, bytes", "-", f"{per_line:.0f}", ""),
        (f"start to visible window, ms (median of {START_REPEATS})", "-", f"{start_med:.0f}",
         f"spread {start_min:.0f}-{start_max:.0f}"),
    ]
    print(f"Receive benchmark: {DATAGRAM_SIZE}-byte datagrams on 127.0.0.1, Wine "
          f"{wine_version()}, run took {elapsed:.0f} s")
    for note in bench.notes:
        print(f"  {note}")
    print()
    width = max(len(row[0]) for row in rows)
    print(f"{'':{width}}  {'baseline':>9}  {'Tavrino':>20}  target")
    for label, base, tav, target in rows:
        print(f"{label:{width}}  {base:>9}  {tav:>20}  {target}")
    print()
    print(f"rate ladder (fresh receiver each, {LADDER_SECONDS:.0f} s per rate), datagrams lost:")
    print(f"  baseline: {', '.join(base_steps)}")
    print(f"  Tavrino:  {', '.join(tav_steps)}")
    print("busy: summed waits for the window's answers to the probe while the burst was shown "
          "(leaves out the wait for the next 200 ms poll)")


def wine_version():
    try:
        return subprocess.run(["wine", "--version"], capture_output=True, text=True,
                              timeout=30).stdout.strip()
    except (OSError, subprocess.SubprocessError):
        return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"),
                        help="build folder with Tavrino.exe and bench/ (default: build)")
    parser.add_argument("--tavrino", help="Tavrino.exe to measure (default: BUILD/Tavrino.exe)")
    parser.add_argument("--port", type=int, default=6702)
    parser.add_argument("--no-pin", action="store_true", help="do not pin to CPUs")
    args = parser.parse_args()

    # SIGTERM (timeout, CI) ends the run through the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    bench = Bench(args)
    started = time.monotonic()
    try:
        bench.prepare()
        results = bench.run()
        report(bench, results, time.monotonic() - started)
        return 0
    except (BenchError, OSError, subprocess.SubprocessError) as e:
        print(f"receive benchmark failed: {e}", file=sys.stderr)
        return 1
    finally:
        bench.cleanup()


if __name__ == "__main__":
    sys.exit(main())
