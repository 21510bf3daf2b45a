#!/usr/bin/env python3
"""Checks the Layout table of README.md against the tracked files, read one
path a line from the standard input (git ls-files): every folder with tracked
files has a row ("a/*/" covers the folders right below a/), and every row
names a folder that has tracked files. Exits 1 and names each mismatch."""
import fnmatch
import re
import sys


def main():
    files = sys.stdin.read().split()
    folders = {"/".join(f.split("/")[:-1]) + "/" for f in files if "/" in f}
    readme = open("README.md", encoding="utf-8").read()
    table = readme.split("## Layout", 1)[1].split("\n## ", 1)[0]
    rows = [name for line in table.splitlines() if line.startswith("| `")
            for name in re.findall(r"`([^`]+/)`", line.split("|")[1])]

    def covers(row, folder):
        return fnmatch.fnmatch(folder, row) and folder.count("/") == row.count("/")

    missing = sorted(f for f in folders if not any(covers(r, f) for r in rows))
    stale = sorted(r for r in rows if not any(covers(r, f) for f in folders))
    for folder in missing:
        print("README layout: no row for", folder)
    for row in stale:
        print("README layout: no tracked files in", row)
    return 1 if missing or stale else 0


if __name__ == "__main__":
    sys.exit(main())
