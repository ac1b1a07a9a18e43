#!/usr/bin/env python3
"""Turns the editable help and note texts into the files the program reads.

Sources: data/help-src/language_NN/<name>, UTF-8, paragraphs separated by a
blank line (a paragraph may be one long line: the viewer wraps it).
Output:  data/data_language/language_NN/<name>, UTF-16 little-endian with
CR LF line ends and no byte-order mark, because the viewer would show a
mark as a character of the text.

--check only compares the committed files with what would be written.
"""
import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = os.path.join(ROOT, "data", "help-src")
OUTPUT = os.path.join(ROOT, "data", "data_language")


def convert(text):
    if text.startswith("\ufeff"):
        text = text[1:]
    lines = [line.rstrip() for line in text.replace("\r\n", "\n").split("\n")]
    while lines and not lines[-1]:
        lines.pop()
    return ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def sources():
    for language in sorted(os.listdir(SOURCE)):
        folder = os.path.join(SOURCE, language)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            yield language, name, os.path.join(folder, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="only compare the committed files with fresh ones")
    args = parser.parse_args()
    stale = []
    for language, name, path in sources():
        with open(path, encoding="utf-8") as handle:
            data = convert(handle.read())
        target = os.path.join(OUTPUT, language, name)
        if args.check:
            try:
                with open(target, "rb") as handle:
                    if handle.read() == data:
                        continue
            except OSError:
                pass
            stale.append(target)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target + ".tmp", "wb") as handle:
            handle.write(data)
        os.replace(target + ".tmp", target)
        print(f"wrote {target}")
    for target in stale:
        print(f"{target} differs from its source; run scripts/make_help_files.py")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
