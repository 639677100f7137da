#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks a Signatures.txt file against the form the program writes, and optionally sorts it.

The form: one record per line, "signature","extension","description", CR LF line ends,
Windows-1252 text, no double quote inside a field. For a table meant to match volume indexes,
every signature is eight characters 0x21..0x7E, the descriptions are not empty, no signature
appears twice in any letter case, and the records are in ascending order of signature, ASCII
letter case ignored (then byte order).

    tools/check-signatures.py samples/Signatures.txt          # report problems, exit 1 if any
    tools/check-signatures.py --sort samples/Signatures.txt   # rewrite it sorted, then check
"""
import re
import sys

RECORD = re.compile(rb'^"([^"]*)","([^"]*)","([^"]*)"$')


# The program's order: letter case folded to small letters, then the exact text.
def order_key(signature):
    return (signature.lower(), signature)


def parse(data):
    problems = []
    records = []
    if data and not data.endswith(b"\r\n"):
        problems.append("the file does not end with CR LF")
    lines = data.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    for number, line in enumerate(lines, 1):
        if b"\n" in line or b"\r" in line:
            problems.append(f"line {number}: a line end other than CR LF")
            continue
        match = RECORD.match(line)
        if not match:
            problems.append(f"line {number}: not three double-quoted fields")
            continue
        try:
            fields = [f.decode("cp1252") for f in match.groups()]
        except UnicodeDecodeError:
            problems.append(f"line {number}: a byte Windows-1252 does not define")
            continue
        records.append((number, *fields))
    return records, problems


def check(records):
    problems = []
    seen = {}
    previous = None
    for number, signature, _extension, description in records:
        if len(signature) != 8 or any(not 0x21 <= ord(c) <= 0x7E for c in signature):
            problems.append(f"line {number}: {signature!r} is not 8 characters 0x21..0x7E")
        if not description:
            problems.append(f"line {number}: empty description")
        folded = signature.upper()
        if folded in seen:
            problems.append(f"line {number}: {signature!r} repeats line {seen[folded]}")
        seen.setdefault(folded, number)
        if previous is not None and order_key(signature) < order_key(previous):
            problems.append(f"line {number}: {signature!r} is out of order")
        previous = signature
    return problems


def main(argv):
    sort = "--sort" in argv
    paths = [a for a in argv if a != "--sort"]
    if len(paths) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    path = paths[0]
    with open(path, "rb") as f:
        data = f.read()
    records, problems = parse(data)
    if sort and not problems:
        records.sort(key=lambda r: order_key(r[1]))
        text = "".join(f'"{s}","{e}","{d}"\r\n' for _n, s, e, d in records)
        with open(path, "wb") as f:
            f.write(text.encode("cp1252"))
        records = [(i, s, e, d) for i, (_n, s, e, d) in enumerate(records, 1)]
    problems += check(records)
    for problem in problems:
        print(f"{path}: {problem}", file=sys.stderr)
    if not problems:
        print(f"{path}: {len(records)} records, all well formed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
