#!/usr/bin/env python3
"""Reads an exported table with Python's own csv or json reader, as another
program would, and prints it back as tab-separated lines: the column names,
then the rows, numbers written by repr(). Exits 1 with a message when the
file is not a well-formed table."""
import csv
import json
import sys


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def cell(value):
    if value is None:
        return "null"
    if isinstance(value, bool):
        fail("a cell is a boolean")
    if isinstance(value, (int, float)):
        return repr(value)
    return value


def main():
    kind, path = sys.argv[1], sys.argv[2]
    delimiter = {"csv": ",", "tsv": "\t"}.get(kind)
    with open(path, newline="", encoding="utf-8") as f:
        if delimiter:
            rows = list(csv.reader(f, delimiter=delimiter, strict=True))
            if not rows:
                fail("no header line")
            columns, rows = rows[0], rows[1:]
        else:
            data = json.load(f)
            if set(data) != {"file", "params", "columns", "rows"}:
                fail("keys %s" % sorted(data))
            if not isinstance(data["file"], str) or not isinstance(data["params"], dict):
                fail("file or params of the wrong type")
            columns, rows = data["columns"], data["rows"]
    for row in rows:
        if len(row) != len(columns):
            fail("a row of %d cells under %d columns" % (len(row), len(columns)))
    print("\t".join(columns))
    for row in rows:
        print("\t".join(cell(v) for v in row))


main()
