#!/usr/bin/env python3
"""Fails when a source file includes a folder above its own.

The folders stack as app -> frame -> pages and trend -> shell -> journal ->
model -> link -> platform: each may include its own folder and those below it, never
one above. A page includes its own folder and pages/common, never another
page. sim/ and tools/ stand beside the stack on model, link and platform
only; tools/ also on journal. Tests are not checked: they may include whatever they exercise.

Usage: check_layers.py <repository root>
"""
import pathlib
import re
import sys

# Rank of each folder under src/; higher may include lower.
RANKS = {
    "platform": 0,
    "link": 1,
    "model": 2,
    "journal": 3,
    "shell": 4,
    "pages": 5,
    "trend": 5,
    "frame": 6,
    "app": 7,
}
BESIDE = {"sim", "tools"}  # folders at the root beside the stack
BESIDE_MAY_USE = {"model", "link", "platform"}
# tools/ also keeps the drive journal (sim/ does not).
BESIDE_EXTRA = {"tools": {"journal"}}
# What runs demo mode links the simulator; nothing else in src/ does.
EXTRA = {"app": {"sim"}}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = ("*.h", "*.cpp")


def folder_of(include):
    """The top folder an include names, or None for a local one ("cli.h")."""
    parts = include.split("/")
    return parts[0] if len(parts) > 1 else None


def allowed(own, own_page, include):
    target = folder_of(include)
    if target is None or target == own and own != "pages":
        return True
    if own in BESIDE:
        return target in BESIDE_MAY_USE or target in BESIDE_EXTRA.get(own, set())
    if target in EXTRA.get(own, set()):
        return True
    if target not in RANKS:
        return False
    if own == "pages" and target == "pages":
        page = include.split("/")[1]
        return page == own_page or page == "common"
    return RANKS[target] < RANKS[own]


def files(root):
    for top in ["src", *sorted(BESIDE)]:
        base = root / top
        for pattern in SOURCES:
            yield from base.rglob(pattern)


def check(root):
    faults = []
    for path in sorted(files(root)):
        rel = path.relative_to(root).parts
        if rel[0] == "src":
            own = rel[1]
            own_page = rel[2] if own == "pages" and len(rel) > 3 else None
        else:
            own, own_page = rel[0], None
        if own == "pages" and own_page == "common":
            own_page = "common"
        text = path.read_text(encoding="utf-8", errors="replace")
        for include in INCLUDE.findall(text):
            # A subfolder of sim/ or tools/ ("mqtt/mqttclient.h") is their own.
            if own in BESIDE and (root / own / include).is_file():
                continue
            if not allowed(own, own_page, include):
                faults.append(f"{path.relative_to(root)}: includes {include}")
    return faults


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1]).resolve()
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) against the layering", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
