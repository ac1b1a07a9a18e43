#!/usr/bin/env python3
"""Checks the data the drive tool ships: language files, help and note files,
animations, templates and run-in programs.

Usage: check_data.py [--data DIR] [language|help|animation|templates|runin ...]
Without a topic every check runs. Exits 1 and names every problem found.
"""
import argparse
import os
import re
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gifreader  # noqa: E402
import inifile  # noqa: E402

LANGUAGE_NAMES = {1: "English", 2: "Deutsch"}
HELP_FILES = ["ControlPage.help", "ControlPage.note", "ReportPage.help", "ReportPage.note",
              "RemotePage.help", "MotorPage.help", "VHzTable.help", "CtrlPara.help",
              "SpecificProg.help", "ActSensTest.help"]
MOTOR_KEYS = ["p90", "p91", "p92", "p93", "p94", "p96", "p85", "p86", "p104", "p105", "p106",
              "p41", "p42", "p44", "p46", "p47", "p48", "p50", "p51", "p52", "p53", "p54",
              "p55", "p56", "p57", "p58", "p70", "p71", "p72", "p73"] + \
             [f"p{n}" for n in range(77, 85)] + \
             ["p60", "p61", "p62", "p63", "p64", "p65", "p66"]
MOTOR_REALS_ONE_DECIMAL = {"p92", "p93", "p44", "p46", "p47", "p48", "p51", "p52", "p55", "p56",
                           "p57", "p72", "p60", "p62", "p64", "p66"}
REMOTE_KEYS = ["p102", "p110", "p111", "p112", "p113", "p114", "p115", "p120", "p121", "p125",
               "p129", "p135", "p136", "p137", "p142"]
STEP_KEYS = ["rpm", "minute_time", "seconds_intervall_on", "seconds_intervall_off"]
UNSIGNED = re.compile(r"^[0-9]+$")


class Report:
    def __init__(self):
        self.problems = []

    def fail(self, where, message):
        self.problems.append(f"{where}: {message}")


def numbered_files(folder, prefix, extension):
    """The unbroken run of numbered files from 01, as the program finds them."""
    found = []
    for n in range(1, 100):
        path = os.path.join(folder, f"{prefix}{n:02d}{extension}")
        if not os.path.exists(path):
            break
        found.append((n, path))
    return found


def check_comment_lines(report, path, text):
    # The program's reader takes any line with "=" as a key, comment or not.
    for number, line in enumerate(text.splitlines(), start=1):
        if line.strip().startswith(";") and "=" in line:
            report.fail(f"{path}:{number}", "comment line holds '=' and would read as a key")


def check_language(report, data):
    folder = os.path.join(data, "data_language")
    files = numbered_files(folder, "language_", ".ini")
    if [n for n, _ in files] != sorted(LANGUAGE_NAMES):
        report.fail(folder, f"expected language files {sorted(LANGUAGE_NAMES)}, "
                            f"found {[n for n, _ in files]}")
    for number, path in files:
        with open(path, encoding="utf-8") as handle:
            text = handle.read()
        check_comment_lines(report, path, text)
        sections = inifile.parse(text)
        # Which sections and keys a file holds, in which order and how long
        # their values may be, is the program's text table's to say: the
        # catalogue test checks the shipped files against it.
        for section in sections:
            lowered = [e.key.lower() for e in section.entries]
            for key in set(k for k in lowered if lowered.count(k) > 1):
                report.fail(f"{path} [{section.name}]", f"key {key} appears twice")
            for entry in section.entries:
                where = f"{path}:{entry.line}"
                if not entry.value.strip():
                    report.fail(where, f"{entry.key} is empty")
                if entry.value == "FILE_ERROR":
                    report.fail(where, f"{entry.key} reads as the missing-text marker")
        own_name = inifile.lookup(sections, "general", "languagefile")
        if own_name != LANGUAGE_NAMES.get(number):
            report.fail(path, f"languagefile is {own_name!r}, expected "
                              f"{LANGUAGE_NAMES.get(number)!r}")
        check_structure_names(report, path, sections)


def check_structure_names(report, path, sections):
    # The export writes these names as keys of one section: a name that another
    # name matches (ignoring case) would overwrite that row's entry.
    seen = {}
    section = next((s for s in sections if s.name == "parastruct"), None)
    for entry in section.entries if section else []:
        name = entry.value.strip()
        if "=" in name or name.startswith(("[", ";")):
            report.fail(f"{path}:{entry.line}", f"{entry.key} cannot be a key of the export")
        folded = name.lower()
        if folded in seen:
            report.fail(f"{path}:{entry.line}", f"{entry.key} repeats the name of {seen[folded]}")
        seen[folded] = entry.key


def check_help(report, data):
    for number in sorted(LANGUAGE_NAMES):
        folder = os.path.join(data, "data_language", f"language_{number:02d}")
        for name in HELP_FILES:
            path = os.path.join(folder, name)
            try:
                with open(path, "rb") as handle:
                    raw = handle.read()
            except OSError as error:
                report.fail(path, f"cannot be read ({error.strerror})")
                continue
            if raw.startswith(b"\xff\xfe") or raw.startswith(b"\xfe\xff"):
                report.fail(path, "starts with a byte-order mark, which the viewer would show")
            if len(raw) % 2:
                report.fail(path, "odd length: not UTF-16")
                continue
            try:
                text = raw.decode("utf-16-le")
            except UnicodeDecodeError as error:
                report.fail(path, f"not UTF-16LE ({error.reason})")
                continue
            paragraphs = [p for p in re.split(r"\r\n\s*\r\n", text) if p.strip()]
            if len(paragraphs) < 3:
                report.fail(path, f"{len(paragraphs)} paragraphs; a help text needs a few")
            if "\n" in text.replace("\r\n", ""):
                report.fail(path, "bare line feed: the text field needs CR LF line ends")


def check_animation(report, data):
    for number in sorted(LANGUAGE_NAMES):
        path = os.path.join(data, "data_language", f"animation_{number:02d}.gif")
        try:
            with open(path, "rb") as handle:
                gif = gifreader.read(handle.read())
        except OSError as error:
            report.fail(path, f"cannot be read ({error.strerror})")
            continue
        except gifreader.GifError as error:
            report.fail(path, str(error))
            continue
        if len(gif.frames) < 4:
            report.fail(path, f"{len(gif.frames)} frames; an animation needs several")
        if gif.loop_count is None:
            report.fail(path, "no looping application extension")
        for index, frame in enumerate(gif.frames):
            if frame.delay <= 4:
                report.fail(path, f"frame {index} has delay {frame.delay}; the player waits "
                                  "100 ms for delays up to 4")
        if len({bytes(f.pixels) for f in gif.frames}) < len(gif.frames):
            report.fail(path, "two frames are identical")


def check_template(report, path, section_name, keys):
    with open(path, encoding="utf-8") as handle:
        text = handle.read()
    check_comment_lines(report, path, text)
    if not text.lstrip().startswith(";"):
        report.fail(path, "no comment header")
    sections = inifile.parse(text)
    section = next((s for s in sections if s.name == section_name), None)
    if section is None:
        report.fail(path, f"no section [{section_name}]")
        return None
    found = [e.key for e in section.entries]
    if found != keys:
        report.fail(path, f"keys {found}, expected {keys}")
    return {e.key: e.value for e in section.entries}


def check_templates(report, data):
    folder = os.path.join(data, "templates")
    motor = check_template(report, os.path.join(folder, "MotorMasterfile.vpm"),
                           "Velmora Motor", MOTOR_KEYS)
    for key, value in (motor or {}).items():
        pattern = (r"^[0-9]+\.[0-9]{2}$" if key == "p71"
                   else r"^[0-9]+\.[0-9]$" if key in MOTOR_REALS_ONE_DECIMAL else r"^[0-9]+$")
        if not re.match(pattern, value):
            report.fail("MotorMasterfile.vpm", f"{key}={value} is not in the file's format")
    remote = check_template(report, os.path.join(folder, "RemoteMasterfile.vpr"),
                            "Velmora Fernbedienung", REMOTE_KEYS)
    for key, value in (remote or {}).items():
        pattern = r"^[0-9]+\.[0-9]{2}$" if key == "p125" else r"^[0-9]+$"
        if not re.match(pattern, value):
            report.fail("RemoteMasterfile.vpr", f"{key}={value} is not in the file's format")
    check_template(report, os.path.join(folder, "ParaStructMasterfile.txt"), "Parameter",
                   [])


def check_runin(report, data):
    folder = os.path.join(data, "data_runin")
    files = numbered_files(folder, "runin_", ".run")
    if len(files) < 2:
        report.fail(folder, f"{len(files)} run-in programs; at least two belong here")
    for _, path in files:
        with open(path, encoding="utf-8") as handle:
            text = handle.read()
        check_comment_lines(report, path, text)
        sections = inifile.parse(text)
        title = inifile.lookup(sections, "general", "filetext")
        if not title or len(title) > 255:
            report.fail(path, "filetext missing or longer than 255 characters")
        steps = 0
        while steps < 99 and all(inifile.lookup(sections, f"step{steps + 1}", key) is not None
                                 for key in STEP_KEYS):
            steps += 1
            for key in STEP_KEYS:
                value = inifile.lookup(sections, f"step{steps}", key)
                if not UNSIGNED.match(value):
                    report.fail(path, f"step{steps} {key}={value} is not an unsigned number")
        if steps == 0:
            report.fail(path, "no complete step")
        ignored = [s.name for s in sections
                   if re.fullmatch(r"step[0-9]+", s.name) and int(s.name[4:]) > steps]
        if ignored:
            report.fail(path, f"sections {ignored} follow an incomplete step and are ignored")
        for n in range(1, steps + 1):
            rpm = int(inifile.lookup(sections, f"step{n}", "rpm"))
            minutes = int(inifile.lookup(sections, f"step{n}", "minute_time"))
            if rpm and not 1800 <= rpm <= 240000:
                report.fail(path, f"step{n} rpm {rpm} lies outside 30 to 4000 Hz")
            if minutes == 0:
                report.fail(path, f"step{n} lasts 0 minutes")


CHECKS = {"language": check_language, "help": check_help, "animation": check_animation,
          "templates": check_templates, "runin": check_runin}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=os.path.dirname(here))
    parser.add_argument("topics", nargs="*", metavar="|".join(CHECKS))
    args = parser.parse_args()
    unknown = [t for t in args.topics if t not in CHECKS]
    if unknown:
        parser.error(f"unknown topic {unknown[0]}")
    report = Report()
    for topic in args.topics or list(CHECKS):
        CHECKS[topic](report, args.data)
    for problem in report.problems:
        print(problem)
    if report.problems:
        return 1
    print(f"checked {', '.join(args.topics or CHECKS)}: no problems")
    return 0


if __name__ == "__main__":
    sys.exit(main())
