#!/usr/bin/env python3
"""Runs qmparams on every case of a case file and compares the fields each
case names with what the tool printed. Usage: qmparams_cases.py CASES QMPARAMS...
(the tool's command may be several words, e.g. wine qmparams.exe)."""
import json
import subprocess
import sys


def main():
    cases_file, command = sys.argv[1], sys.argv[2:]
    with open(cases_file, encoding="utf-8") as f:
        cases = json.load(f)
    failures = 0
    for case in cases:
        run = subprocess.run(command + case["args"], capture_output=True)
        try:
            printed = json.loads(run.stdout.decode("latin-1"))
        except ValueError:
            printed = None
        if run.returncode != 0 or printed is None:
            failures += 1
            print(f"FAIL {case['args']}: exit {run.returncode}, output {run.stdout!r} {run.stderr!r}")
            continue
        for key, wanted in case["expect"].items():
            got = printed
            for part in key.split("."):
                got = got.get(part) if isinstance(got, dict) else None
            if got != wanted:
                failures += 1
                print(f"FAIL {case['args']}: {key} is {got!r}, expected {wanted!r}")
    print(f"{len(cases)} cases, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
