"""Reads initialisation-style files the way the drive tool's profile reader does.

Section and key names compare without regard to ASCII case, spaces around keys
and values are trimmed, a value in matching double quotes loses them, and a
UTF-8 byte-order mark is skipped. Unlike the program's reader this one keeps
every entry in file order, so checks can see duplicates and ordering.
"""
from dataclasses import dataclass, field


@dataclass
class Entry:
    key: str
    value: str
    line: int


@dataclass
class Section:
    name: str
    line: int
    entries: list = field(default_factory=list)


def _unquote(value):
    if len(value) >= 2 and value[0] == '"' and value[-1] == '"':
        return value[1:-1]
    return value


def parse(text):
    """Sections in file order; lines before the first section are ignored."""
    if text.startswith("\ufeff"):
        text = text[1:]
    sections = []
    for number, raw in enumerate(text.splitlines(), start=1):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            close = line.find("]")
            name = line[1:close] if close >= 0 else line[1:]
            sections.append(Section(name.strip(), number))
            continue
        if "=" not in line or not sections:
            continue
        key, value = line.split("=", 1)
        sections[-1].entries.append(Entry(key.strip(), _unquote(value.strip()), number))
    return sections


def load(path):
    with open(path, encoding="utf-8") as handle:
        return parse(handle.read())


def lookup(sections, section, key):
    """The value the program would read, or None."""
    for candidate in sections:
        if candidate.name.lower() != section.lower():
            continue
        for entry in candidate.entries:
            if entry.key.lower() == key.lower():
                return entry.value
        return None
    return None
