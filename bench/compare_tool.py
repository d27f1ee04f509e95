#!/usr/bin/env python3
"""Times `quorvane-tool check` on a full-size DMA file (6,999 loggers with 50
readings each) against Python's csv module reading the same file, both as
whole processes in the same run, and reports the tool's peak memory.

usage: compare_tool.py PATH/TO/quorvane-tool [rounds]"""

import os
import resource
import subprocess
import sys
import tempfile
import time

PY_READER = r"""
import csv, sys
rows = 0
with open(sys.argv[1], newline='', encoding='cp1252', errors='surrogateescape') as f:
    for row in csv.reader(f):
        rows += 1
print(rows)
"""


def run(cmd):
    """Wall time and peak resident memory (KiB) of one child process."""
    before = time.perf_counter()
    pid = subprocess.Popen(cmd, stdout=subprocess.DEVNULL).pid
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - before
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: %s" % " ".join(cmd))
    return elapsed, usage.ru_maxrss


def main():
    tool = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "big.csv")
        subprocess.check_call([tool, "generate", "6999", "50", path])
        size = os.path.getsize(path)
        tool_best = py_best = float("inf")
        peak = 0
        for _ in range(rounds):
            t, rss = run([tool, "check", path])
            tool_best, peak = min(tool_best, t), max(peak, rss)
            t, _ = run([sys.executable, "-c", PY_READER, path])
            py_best = min(py_best, t)
    print("file: 6999 loggers x 50 readings, %.1f MB" % (size / 1e6))
    print("quorvane-tool check:   %7.1f ms" % (tool_best * 1e3))
    print("python csv module:     %7.1f ms" % (py_best * 1e3))
    speedup = py_best / tool_best
    print("speed-up over python:  %7.1fx (target >= 5x) %s" % (speedup, "ok" if speedup >= 5 else "UNDER TARGET"))
    mib = peak / 1024
    print("peak memory of check:  %7.1f MiB (target <= 64 MiB) %s" % (mib, "ok" if mib <= 64 else "OVER TARGET"))


if __name__ == "__main__":
    main()
