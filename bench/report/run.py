#!/usr/bin/env python3
"""Unattended report benchmark: `sonarvex /REPORT 2` over the tag engine benchmark's corpus
against id3dump over the same files, in one run.

usage: run.py [--corpus DIR] [--bin DIR] [--runs N]

The program runs end to end (process start to exit) from a fresh copy of its folder, so the
report has the default columns; no display (offscreen). Warm cache: each tool runs once first,
then N alternating timed runs. Reports the medians, their ratio and the peak resident memory of
each process (GNU time).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def run(command, env=None):
    """Seconds from start to exit and peak RSS in MB; the command must succeed. The peak comes
    from GNU time, whose own small process is what forks the command."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as rss:
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss.name] + command,
                                stdout=subprocess.DEVNULL, env=env)
        elapsed = time.perf_counter() - start
        if result.returncode != 0:
            sys.exit(f"{command[0]} ended with status {result.returncode}")
        return elapsed, int(rss.read().split()[-1]) / 1024.0


def corpus_files(corpus):
    files = []
    for folder, _, names in os.walk(corpus):
        files.extend(os.path.join(folder, n) for n in names if n.upper().endswith(".MP3"))
    return sorted(files)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--corpus", default=os.environ.get("CORPUS", "/tmp/sonarvex-id3-corpus"))
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "bin"))
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    if not os.path.isdir(args.corpus) or not os.listdir(args.corpus):
        subprocess.run([os.path.join(ROOT, "bench", "id3", "make-corpus.sh"), args.corpus, "10000"], check=True)
    files = corpus_files(args.corpus)

    with tempfile.TemporaryDirectory() as scratch:
        program = os.path.join(scratch, "bin")
        os.mkdir(program)
        for name in os.listdir(args.bin):
            if os.path.isfile(os.path.join(args.bin, name)):
                shutil.copy2(os.path.join(args.bin, name), program)
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        report = [os.path.join(program, "sonarvex"), "/REPORT", "2", os.path.join(scratch, "out.htm"), args.corpus]
        id3dump = [os.path.join(program, "id3dump")] + files
        tools = {"report": report, "id3dump": id3dump}
        for command in tools.values():
            run(command, env)  # warm-up
        times = {name: [] for name in tools}
        peaks = {name: [] for name in tools}
        for _ in range(args.runs):
            for name, command in tools.items():
                seconds, peak = run(command, env)
                times[name].append(seconds)
                peaks[name].append(peak)
        with open(os.path.join(scratch, "out.htm"), "rb") as page:
            rows = page.read().count(b"<tr>") - 1

    report_s = statistics.median(times["report"])
    dump_s = statistics.median(times["id3dump"])
    print(f"files: {len(files)}, report rows: {rows}")
    print("| Run | Median | Peak RSS |")
    print("|---|---:|---:|")
    print(f"| `sonarvex /REPORT 2` (default columns, end to end) | {report_s:.3f} s | {max(peaks['report']):.1f} MB |")
    print(f"| `id3dump` over the same files | {dump_s:.3f} s | {max(peaks['id3dump']):.1f} MB |")
    print(f"ratio report / id3dump: {report_s / dump_s:.2f} (goal at most 1.5); runs: "
          + ", ".join(f"{t:.3f}" for t in times["report"]) + " / "
          + ", ".join(f"{t:.3f}" for t in times["id3dump"]))


if __name__ == "__main__":
    main()
