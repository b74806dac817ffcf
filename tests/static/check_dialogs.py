#!/usr/bin/python3
"""Reads the dialog templates back from a built setup.exe and compares them
field by field with expected_dialogs.py, so that no control, style bit,
text or coordinate can drift from the dialogs' description.

usage: check_dialogs.py setup.exe
"""
import os
import struct
import sys

import pefile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import expected_dialogs as expected  # noqa: E402

RT_DIALOG = 5
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


class Reader:
    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        first = struct.unpack_from("<H", self.data, self.at)[0]
        if first == 0x0000:
            self.at += 2
            return None
        if first == 0xFFFF:
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self, boundary):
        self.at = (self.at + boundary - 1) // boundary * boundary


def parse_template(data):
    """A DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items."""
    r = Reader(data)
    dialog = {}
    dialog["version"], dialog["signature"] = r.take("HH")
    dialog["helpid"], dialog["exstyle"], dialog["style"] = r.take("III")
    count = r.take("H")
    dialog["rect"] = r.take("hhhh")
    dialog["menu"] = r.name_or_ordinal()
    dialog["class"] = r.name_or_ordinal()
    dialog["title"] = r.text()
    dialog["font"] = None
    if dialog["style"] & expected.DS_SETFONT:
        points, weight, italic, charset = r.take("HHBB")
        dialog["font"] = (points, weight, italic, charset, r.text())
    controls = []
    for _ in range(count):
        r.align(4)
        helpid, exstyle, style = r.take("III")
        x, y, cx, cy = r.take("hhhh")
        control_id = r.take("i")
        window_class = r.name_or_ordinal()
        if isinstance(window_class, str) and window_class.lower() == expected.PROGRESS:
            window_class = expected.PROGRESS  # class names compare without case
        title = r.name_or_ordinal()
        extra = r.take("H")
        r.at += extra
        controls.append({
            "helpid": helpid, "row": (control_id, window_class, title if title is not None else "", style,
                                      exstyle, x, y, cx, cy), "extra": extra})
    return dialog, controls


def find_dialog(pe, number):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != RT_DIALOG:
            continue
        for name in entry.directory.entries:
            if name.id == number:
                lang = name.directory.entries[0]
                return pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
    return None


def describe(row):
    control_id, window_class, text, style, exstyle, x, y, cx, cy = row
    return "id %d class %s text %r style %#010x exstyle %#x at %d,%d size %d,%d" % (
        control_id, window_class if isinstance(window_class, str) else "%#06x" % window_class, text, style,
        exstyle, x, y, cx, cy)


def main():
    pe = pefile.PE(sys.argv[1])
    for number, want in expected.DIALOGS.items():
        data = find_dialog(pe, number)
        check(data is not None, "dialog %d present" % number)
        if data is None:
            continue
        dialog, controls = parse_template(data)
        check((dialog["version"], dialog["signature"]) == (1, 0xFFFF),
              "dialog %d is an extended template (version 1)" % number)
        check(dialog["helpid"] == 0, "dialog %d has no help id" % number)
        check(dialog["style"] == want["style"],
              "dialog %d style %#010x, expected %#010x" % (number, dialog["style"], want["style"]))
        check(dialog["exstyle"] == want["exstyle"],
              "dialog %d extended style %#x, expected %#x" % (number, dialog["exstyle"], want["exstyle"]))
        check(dialog["menu"] is None and dialog["class"] is None,
              "dialog %d has no menu and the platform's dialog class" % number)
        check(dialog["title"] == want["title"], "dialog %d title %r" % (number, dialog["title"]))
        check(dialog["font"] == want["font"], "dialog %d font %r" % (number, dialog["font"]))
        check(dialog["rect"] == want["rect"], "dialog %d position and size %r" % (number, dialog["rect"]))
        check(len(controls) == len(want["controls"]),
              "dialog %d has %d controls, expected %d" % (number, len(controls), len(want["controls"])))
        for index, (got, row) in enumerate(zip(controls, want["controls"])):
            control_id, window_class, text, style, exstyle, x, y, cx, cy = row
            row = (control_id, window_class, text, style, exstyle, x, y, cx, cy)
            check(got["row"] == row, "dialog %d control %d: %s%s" % (
                number, index + 1, describe(got["row"]),
                "" if got["row"] == row else "\n       expected %s" % describe(row)))
            check(got["helpid"] == 0 and got["extra"] == 0,
                  "dialog %d control %d has no help id and no creation data" % (number, index + 1))
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
