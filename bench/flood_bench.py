#!/usr/bin/env python3
"""Flood benchmark of the real Tavrino.exe under Wine: floods of ten seconds, answer times.

Runs on Linux (standard library only) inside an X session (xvfb-run), with WINEPREFIX set to
the build's Wine prefix, like receive_bench.py, whose helpers it uses. For each flood it starts
a fresh Tavrino, sends the datagrams on 127.0.0.1 from this process while TavrinoProbe.exe asks
the window for WM_NULL every 100 ms, and prints: the longest answer, the time from the flood's
end until the view is complete, the datagrams missing from the view (every tenth datagram, or
every one, is a numbered line that must be there, in order), whether the view is exactly what
the datagrams make, the backlog's peak (bytes sent but not shown yet), the peak memory, and the
time from WM_CLOSE to the end of the process. With --view-cost it also runs ViewCost.exe: what
one append to the view costs as it grows.

Floods (seeded): numbered text lines of up to 1 KB at 2,000/s; random bytes, sizes 0 to
65,507 (82 % up to 200, 18 % up to 65,507; 5.9 KB on average), 2,000/s, as text; the same
sizes at 200/s as hex dump. A fourth run closes the window five seconds into the random flood.
The fifth and sixth send one and two million lines of 100 characters in datagrams of 600 lines
at 500/s, faster than any view shows them: they queue, and the time until all are shown tells
whether showing costs the same per line at any size (two million should take twice as long).
"""
import argparse
import bisect
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

import receive_bench as rb

FLOOD_SECONDS = 10.0
WATCH_INTERVAL_MS = 100
COMPLETE_LIMIT_S = 600.0
MARK_EVERY = 10
ANSWER_TARGET_MS = 250
CLOSE_TARGET_MS = 1000
TEXT_CATCH_UP_TARGET_S = 3.0
HEX_CATCH_UP_TARGET_S = 5.0
QUEUED_RATIO_TARGET = 2.3


# Code page 1252 as Windows decodes it: the five unassigned bytes stay their own code units.
CP1252 = {b: bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in range(0x80, 0xA0)}


# Builds before the log view control showed a text datagram only up to its first zero byte
# (--zero-ends-text, to measure them in the same run); the log view shows the zero byte as U+2400.
ZERO_ENDS_TEXT = False


def process_alive(pid):
    """False once the process has ended: gone, or a zombie that nobody has reaped yet (Tavrino's
    parent, the probe that started it, has ended, and whoever inherits it may reap late)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def cp1252_text(data):
    """What the view shows for a datagram in text mode."""
    if ZERO_ENDS_TEXT:
        data = data.split(b"\0", 1)[0]
    return data.decode("latin-1").translate(CP1252).replace("\0", "\u2400")


def hex_rows(data):
    rows = []
    for at in range(0, len(data), 8):
        chunk = data[at:at + 8]
        hexes = "".join(f"{b:02X} " for b in chunk).ljust(24)
        chars = "".join("\u2190" if b == 13 else "\u2193" if b == 10 else "." if b < 32 else chr(b)
                        for b in chunk)
        rows.append(hexes + "  " + chars + "\r\n")
    return "".join(rows)


def shown(data, hex_mode):
    return hex_rows(data) if hex_mode else cp1252_text(data) + "\r\n"


class Flood:
    def __init__(self, name, rate, hex_mode, make, close_after_s=None, count=None):
        self.name = name
        self.rate = rate
        self.hex = hex_mode
        self.make = make                  # (rng, index) -> bytes
        self.close_after_s = close_after_s
        self.count = count or int(rate * FLOOD_SECONDS)


def numbered_line(rng, index):
    head = b"#%07d " % index
    return head + bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz ") for _ in range(rng.randint(0, 1016)))


def random_datagram(rng, index):
    if index % MARK_EVERY == 0:
        return b"#%07d" % index
    size = rng.randint(0, 65507) if rng.random() < 0.18 else rng.randint(0, 200)
    return rng.randbytes(size)


LINES_PER_DATAGRAM = 600


def line_block(rng, index):  # pylint: disable=unused-argument
    """600 numbered lines of 100 characters; the first starts with the datagram's mark."""
    first = index * LINES_PER_DATAGRAM
    lines = [b"#%07d " % index + b"x" * 91]
    lines += [b"%08d " % (first + n) + b"y" * 91 for n in range(1, LINES_PER_DATAGRAM)]
    return b"\r\n".join(lines)


FLOODS = [
    Flood("numbered text lines up to 1 KB, 2,000/s", 2000, False, numbered_line),
    Flood("random bytes 0-65,507, 2,000/s, text", 2000, False, random_datagram),
    Flood("random bytes 0-65,507, 200/s, hex", 200, True, random_datagram),
    Flood("random bytes, 2,000/s, closed after 5 s", 2000, False, random_datagram, close_after_s=5.0),
    Flood("1,000,000 lines of 100, 600 a datagram", 500, False, line_block, count=1667),
    Flood("2,000,000 lines of 100, 600 a datagram", 500, False, line_block, count=3334),
]


class Watch:
    """TavrinoProbe watch: (unix ms, WM_NULL answer ms, characters shown) every interval."""

    def __init__(self, bench):
        self.process = bench.wine.popen("wine", bench.tool("TavrinoProbe.exe"), "watch",
                                        str(WATCH_INTERVAL_MS), stdin=subprocess.PIPE)
        bench.started.append(self.process)
        self.items = []
        self.lock = threading.Lock()
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        for line in self.process.stdout:
            parts = line.split()
            if len(parts) < 5:
                continue
            try:
                item = (float(parts[0]), float(parts[2]), int(parts[4]))
            except ValueError:
                continue
            with self.lock:
                self.items.append(item)

    def snapshot(self):
        with self.lock:
            return list(self.items)

    def stop(self):
        try:
            self.process.stdin.close()
            self.process.wait(15)
        except (OSError, subprocess.TimeoutExpired):
            rb.stop_process(self.process)


class FloodBench(rb.Bench):
    def peak_rss_mb(self, pid):
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1]) / 1024.0
        return float("nan")

    def probe(self, *args, timeout=120):
        code, out, err = self.wine.run("wine", self.tool("TavrinoProbe.exe"), *args, timeout=timeout)
        if code != 0:
            raise rb.BenchError(f"TavrinoProbe {' '.join(args)} failed ({code}): {err.strip()}")
        return out

    def close_msec(self, pid):
        out = self.probe("close")
        posted = float(out.split()[0])
        deadline = time.monotonic() + 30
        while process_alive(pid) and time.monotonic() < deadline:
            time.sleep(0.005)
        return rb.now_ms() - posted

    def run_flood(self, flood):
        rng = random.Random(f"tavrino-{flood.name}")
        count = flood.count
        datagrams = [flood.make(rng, i) for i in range(count)]
        texts = [shown(d, flood.hex) for d in datagrams]
        ends = []                                   # view length after each datagram
        total = 0
        for text in texts:
            total += len(text)
            ends.append(total)
        sent_bytes = sum(len(d) for d in datagrams)

        # The receive benchmark's own watch only confirms the start here; Watch samples.
        receiver = self.fresh(rb.Tavrino, watch_interval_ms=1000)
        try:
            if flood.hex:
                self.probe("hex", "1")
            watch = Watch(self)
            time.sleep(0.5)
            send_times = []
            sock = self.sender.sock
            target = self.sender.target
            start = time.monotonic()
            first_ms = rb.now_ms()
            close_at = None if flood.close_after_s is None else int(flood.close_after_s * flood.rate)
            closed = None
            for i, datagram in enumerate(datagrams):
                if close_at is not None and i == close_at:
                    closed = self.close_msec(receiver.pid)
                    break
                due = start + i / flood.rate
                wait = due - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
                sock.sendto(datagram, target)
                send_times.append(rb.now_ms())
            last_ms = rb.now_ms()
            if closed is not None:
                samples = watch.snapshot()
                watch.stop()
                longest = max((s[1] for s in samples if s[0] >= first_ms), default=float("nan"))
                return {"closed": closed, "longest": longest, "sent": len(send_times)}

            complete_at = None
            deadline = time.monotonic() + self.complete_limit
            while time.monotonic() < deadline:
                samples = watch.snapshot()
                if samples and samples[-1][2] >= total:
                    complete_at = next(s[0] for s in samples if s[2] >= total)
                    break
                time.sleep(0.1)
            # The watch ends before the view is read: reading megabytes keeps the window busy.
            waited_ms = rb.now_ms()
            watch.stop()
            samples = [s for s in watch.snapshot() if s[0] <= waited_ms]
            peak_rss = self.peak_rss_mb(receiver.pid)
            with tempfile.TemporaryDirectory() as folder:
                path = os.path.join(folder, "view.txt")
                self.probe("text", rb.windows_path(path), timeout=300)
                with open(path, "rb") as f:
                    view = f.read().decode("utf-16-le", errors="replace")
            closed = self.close_msec(receiver.pid)
        finally:
            receiver.stop()

        during = [s for s in samples if s[0] >= first_ms and (complete_at is None or s[0] <= complete_at)]
        longest = max((s[1] for s in during), default=float("nan"))
        # Backlog: bytes sent by a sample's time whose lines the view did not hold yet.
        sent_prefix = [0]
        for d in datagrams:
            sent_prefix.append(sent_prefix[-1] + len(d))
        peak_backlog = 0
        for t, _, chars in during:
            sent = bisect.bisect_right(send_times, t)
            done = bisect.bisect_right(ends, chars)
            if sent > done:
                peak_backlog = max(peak_backlog, sent_prefix[sent] - sent_prefix[done])
        marks = [i for i, d in enumerate(datagrams) if d.startswith(b"#") and re.fullmatch(rb"#\d{7}( .*)?", d, re.S)]
        pattern = re.compile(r"^(?:#(\d{7})|23 (?:3\d ){6}3\d   #(\d{7}))", re.M)
        found = [int(a or b) for a, b in pattern.findall(view)]
        found_set = set(found)
        lost = sum(1 for i in marks if i not in found_set)
        in_order = found == sorted(found)
        return {
            "longest": longest,
            "catch_up": (complete_at - last_ms) / 1000.0 if complete_at else None,
            "lost": lost, "marks": len(marks), "in_order": in_order,
            "shown_after": (complete_at - first_ms) / 1000.0 if complete_at else None,
            "exact": view == "".join(texts),
            "chars": total, "sent_mb": sent_bytes / 1e6,
            "backlog_mb": peak_backlog / 1e6, "rss_mb": peak_rss, "closed": closed,
            "late": (last_ms - first_ms) / 1000.0 - count / flood.rate,
        }

    def view_cost(self):
        code, out, err = self.wine.run("wine", self.tool("ViewCost.exe"), timeout=3600)
        if code != 0:
            raise rb.BenchError(f"ViewCost failed ({code}): {err.strip()}")
        return out


def report(results, view_cost, elapsed):
    print(f"Flood benchmark: floods of {FLOOD_SECONDS:.0f} s on 127.0.0.1, Wine {rb.wine_version()}, "
          f"WM_NULL every {WATCH_INTERVAL_MS} ms, run took {elapsed:.0f} s")
    print()
    print(f"{'flood':42} {'sent MB':>8} {'answer max':>11} {'complete after':>15} {'lost':>9} "
          f"{'exact':>6} {'backlog peak':>13} {'peak RSS':>9} {'close':>8} {'all shown':>10}")
    verdicts = []
    for flood, r in results:
        if "catch_up" not in r:
            print(f"{flood.name:42} {'':>8} {r['longest']:>8.0f} ms {'':>15} {'':>9} {'':>6} {'':>13} {'':>9} "
                  f"{r['closed']:>5.0f} ms")
            verdicts.append(f"close during a flood <= {CLOSE_TARGET_MS} ms: "
                            f"{rb.verdict(r['closed'] <= CLOSE_TARGET_MS)}")
            continue
        catch_up = f"{r['catch_up']:.1f} s" if r["catch_up"] is not None else "never"
        shown_after = f"{r['shown_after']:.1f} s" if r["shown_after"] is not None else "never"
        print(f"{flood.name:42} {r['sent_mb']:>8.1f} {r['longest']:>8.0f} ms {catch_up:>15} "
              f"{r['lost']:>4}/{r['marks']:<4} {'yes' if r['exact'] else 'NO':>6} "
              f"{r['backlog_mb']:>10.1f} MB {r['rss_mb']:>6.0f} MB {r['closed']:>5.0f} ms {shown_after:>10}")
        if r["late"] > 0.5:
            print(f"  (the sender fell {r['late']:.1f} s behind)")
        verdicts.append(f"{flood.name}: answer <= {ANSWER_TARGET_MS} ms "
                        f"{rb.verdict(r['longest'] <= ANSWER_TARGET_MS)}, 0 lost "
                        f"{rb.verdict(r['lost'] == 0 and r['in_order'])}, close <= {CLOSE_TARGET_MS} ms "
                        f"{rb.verdict(r['closed'] <= CLOSE_TARGET_MS)}")
    for flood, target in ((FLOODS[1], TEXT_CATCH_UP_TARGET_S), (FLOODS[2], HEX_CATCH_UP_TARGET_S)):
        r = next((r for f, r in results if f is flood), {})
        if "catch_up" in r:
            complete = r["catch_up"] is not None and r["catch_up"] <= target
            verdicts.append(f"{flood.name} complete <= {target:.0f} s after its end: {rb.verdict(complete)}")
    one = next((r for f, r in results if f is FLOODS[4]), {})
    two = next((r for f, r in results if f is FLOODS[5]), {})
    if one.get("shown_after") and two.get("shown_after"):
        ratio = two["shown_after"] / one["shown_after"]
        verdicts.append(f"2,000,000 queued lines shown in <= {QUEUED_RATIO_TARGET} x the time of 1,000,000: "
                        f"{ratio:.2f} x, {rb.verdict(ratio <= QUEUED_RATIO_TARGET)}")
    print()
    for v in verdicts:
        print(f"  {v}")
    print("lost: numbered lines missing from the view, of those sent; exact: the view is what the "
          "datagrams make; backlog: bytes sent but not shown yet; all shown: from the first datagram")
    if view_cost:
        print()
        print("The view as it grows (ViewCost.exe):")
        print(view_cost.rstrip())


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "build"))
    parser.add_argument("--tavrino")
    parser.add_argument("--port", type=int, default=6702)
    parser.add_argument("--no-pin", action="store_true")
    parser.add_argument("--only", type=int, action="append", help="run only these floods (1-6)")
    parser.add_argument("--view-cost", action="store_true", help="also measure appends (4 minutes)")
    parser.add_argument("--zero-ends-text", action="store_true",
                        help="the Tavrino measured shows text datagrams up to their first zero byte (older builds)")
    parser.add_argument("--complete-limit", type=float, default=COMPLETE_LIMIT_S,
                        help="seconds to wait for a complete view after a flood")
    args = parser.parse_args()
    global ZERO_ENDS_TEXT
    ZERO_ENDS_TEXT = args.zero_ends_text
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    bench = FloodBench(args)
    bench.complete_limit = args.complete_limit
    started = time.monotonic()
    try:
        bench.prepare()
        results = []
        for number, flood in enumerate(FLOODS, 1):
            if args.only and number not in args.only:
                continue
            rb.log(f"flood {number}: {flood.name}")
            results.append((flood, bench.run_flood(flood)))
            rb.log(f"  {results[-1][1]}")
        view_cost = bench.view_cost() if args.view_cost else ""
        report(results, view_cost, time.monotonic() - started)
        return 0
    except (rb.BenchError, OSError, subprocess.SubprocessError) as e:
        print(f"flood benchmark failed: {e}", file=sys.stderr)
        return 1
    finally:
        bench.cleanup()


if __name__ == "__main__":
    sys.exit(main())
