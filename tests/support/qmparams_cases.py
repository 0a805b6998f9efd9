#!/usr/bin/env python3
"""Runs every case of a case file through one qmparams process (its --batch
mode) and compares each case's exit code, and the fields the case names, with
what the tool gave. Usage: qmparams_cases.py CASES QMPARAMS... (the tool's
command may be several words, e.g. wine qmparams.exe).

A case: {"args": [...], "expect": {field: value, ...}}, optionally "exit"
(the exit code expected, 0 by default) and "error" (a text the error output
must contain)."""
import json
import subprocess
import sys

ESCAPES = {"\\": "\\\\", "\t": "\\t", "\n": "\\n", "\r": "\\r"}


def batch_line(args):
    return "\t".join("".join(ESCAPES.get(c, c) for c in arg) for arg in args) + "\n"


def read_records(output):
    """The (exit code, output, error) of each case, in order."""
    records, at = [], 0
    while at < len(output):
        end = output.index(b"\n", at)
        tag, code, out_size, err_size = output[at:end].decode("ascii").split(" ")
        if tag != "case":
            raise ValueError(f"not a case record at byte {at}: {output[at:end]!r}")
        at = end + 1
        out = output[at:at + int(out_size)]
        at += int(out_size)
        err = output[at:at + int(err_size)]
        at += int(err_size)
        records.append((int(code), out, err))
    return records


def failures_of(case, record):
    code, out, err = record
    wanted_code = case.get("exit", 0)
    if code != wanted_code:
        return [f"exit {code}, expected {wanted_code}; output {out!r} {err!r}"]
    found = []
    if "error" in case and case["error"] not in err.decode("latin-1"):
        found.append(f"error output {err!r} lacks {case['error']!r}")
    if not case["expect"]:
        return found
    try:
        printed = json.loads(out.decode("latin-1"))
    except ValueError:
        return found + [f"output is not JSON: {out!r} {err!r}"]
    for key, wanted in case["expect"].items():
        got = printed
        for part in key.split("."):
            got = got.get(part) if isinstance(got, dict) else None
        if got != wanted:
            found.append(f"{key} is {got!r}, expected {wanted!r}")
    return found


def main():
    cases_file, command = sys.argv[1], sys.argv[2:]
    with open(cases_file, encoding="utf-8") as f:
        cases = json.load(f)
    stdin = "".join(batch_line(case["args"]) for case in cases).encode("utf-8")
    run = subprocess.run(command + ["--batch"], input=stdin, capture_output=True)
    try:
        records = read_records(run.stdout)
    except ValueError as error:
        print(f"FAIL the batch output does not read: {error}; stderr {run.stderr!r}")
        return 1
    failures = 0
    if run.returncode != 0:
        failures += 1
        print(f"FAIL the batch run ended with {run.returncode}: {run.stderr!r}")
    for index, case in enumerate(cases):
        found = failures_of(case, records[index]) if index < len(records) else ["no record: the batch ended before it"]
        for failure in found:
            failures += 1
            print(f"FAIL {case['args']}: {failure}")
    if len(records) > len(cases):
        failures += 1
        print(f"FAIL {len(records)} records for {len(cases)} cases")
    print(f"{len(cases)} cases, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
