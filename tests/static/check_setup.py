#!/usr/bin/python3
"""Static checks of a built setup.exe, one kind per run so that ctest names
what broke.  usage: check_setup.py (imports|pe|dialogs|i486) setup.exe (win32|win64)"""
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from collections import namedtuple

import pefile

from allowed_imports import ALLOWED

RT_BITMAP, RT_DIALOG, RT_GROUP_ICON, RT_MANIFEST = 2, 5, 14, 24
# Vista, 7, 8, 8.1, and 10 and 11: the releases the manifest names.
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
# All but the payloads and the logo: the i686 release, and the x86_64 build
# whose code and unwind tables are larger.
STUB_LIMIT = {"win32": 32 * 1024, "win64": 40 * 1024}
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def check_imports(pe, kind):
    entries = getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
    check(bool(entries), "an import table")
    for entry in entries:
        dll = entry.dll.decode().lower()
        for name in sorted(i.name.decode() if i.name else "#%d" % i.ordinal for i in entry.imports):
            check(name in ALLOWED.get(dll, ()), "%s!%s is an allowed import" % (dll, name))


def resources(pe):
    """(type, name, bytes) of every resource; a named type as its text."""
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in entry.directory.entries:
            data = name.directory.entries[0].data.struct
            yield entry.id or str(entry.name), name.id, pe.get_data(data.OffsetToData, data.Size)


def resource(pe, type_id, name_id):
    return next((data for t, n, data in resources(pe) if (t, n) == (type_id, name_id)), None)


def check_manifest(pe):
    """Read by Vista and later only: administrator rights, the supported
    releases, no common controls 6 and no DPI awareness."""
    text = resource(pe, RT_MANIFEST, 1)
    check(text is not None, "manifest 1 present")
    try:
        root = ElementTree.fromstring(text or b"")
    except ElementTree.ParseError as error:
        return check(False, "manifest parses: %s" % error)
    attributes = [(e.tag.split("}")[-1], e.attrib) for e in root.iter()]
    levels = [a.get("level") for tag, a in attributes if tag == "requestedExecutionLevel"]
    check(levels == ["requireAdministrator"], "execution level requireAdministrator: %s" % levels)
    ids = {a.get("Id") for tag, a in attributes if tag == "supportedOS"}
    check(ids == SUPPORTED_OS, "supported releases Vista to 10/11: %s" % sorted(ids))
    check(not any(tag in ("dependency", "dpiAware", "dpiAwareness") for tag, _ in attributes),
          "no dependent assembly (common controls 6) and no DPI awareness")


def check_pe(pe, kind):
    opt, machine = pe.OPTIONAL_HEADER, pe.FILE_HEADER.Machine
    check(machine == {"win32": 0x14C, "win64": 0x8664}[kind], "machine %#x for %s" % (machine, kind))
    check(opt.Subsystem == 2, "GUI subsystem (2), found %d" % opt.Subsystem)
    check(pe.FILE_HEADER.TimeDateStamp == 0, "no time stamp in the file header")
    if kind == "win32":
        # The 9x/ME and NT 4 loaders refuse a subsystem or OS version above 4.0.
        versions = (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion,
                    opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion)
        check(versions == (4, 0, 4, 0), "subsystem and OS versions 4.0, found %d.%d and %d.%d" % versions)

    # The logo is loaded with LR_LOADMAP3DCOLORS, which maps the greys of a
    # colour table, and sits on a white rectangle of the dialogs.
    logo = resource(pe, RT_BITMAP, 200)
    check(logo is not None, "bitmap 200 present")
    if logo is not None:
        _, width, height, _, bits, compression, _, _, _, colours = struct.unpack_from("<IiiHHIIiiI", logo)
        check((width, abs(height), bits, compression) == (189, 67, 8, 0), "bitmap 200 is 189 x 67 x 8, uncompressed")
        background = 40 + 4 * logo[40 + 4 * (colours or 256)]  # the colour of the first pixel
        check(logo[background:background + 3] == b"\xff\xff\xff", "bitmap 200 has a white background")
    icon = resource(pe, RT_GROUP_ICON, 100)
    count = struct.unpack_from("<H", icon, 4)[0] if icon else 0
    images = sorted(struct.unpack_from("<BBB", icon, 6 + 14 * i) for i in range(count))  # width, height, colours
    check(images == [(16, 16, 16), (32, 32, 16)], "icon 100 is 16 x 16 and 32 x 32 in 16 colours: %s" % images)
    check_manifest(pe)

    # The stub: every section, less the payloads and the logo in .rsrc.
    sizes = {section.Name.rstrip(b"\0").decode(): section.SizeOfRawData for section in pe.sections}
    carried = sum(len(data) for t, n, data in resources(pe) if t == "RT_RCDATA" or (t, n) == (RT_BITMAP, 200))
    sizes[".rsrc"] = sizes.get(".rsrc", 0) - carried
    print("     stub sections: " + ", ".join("%s %d" % item for item in sizes.items()))
    limit = STUB_LIMIT[kind]
    check(sum(sizes.values()) <= limit, "stub of %d bytes within %d" % (sum(sizes.values()), limit))


WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x80000000, 0x40000000, 0x10000000, 0x00C00000
WS_SYSMENU, WS_GROUP, WS_TABSTOP, DS_SETFONT = 0x00080000, 0x00020000, 0x00010000, 0x0040
BUTTON, EDIT, STATIC, PROGRESS = 0x80, 0x81, 0x82, "MSCTLS_PROGRESS32"  # windres writes class names in capitals
# What the code needs of a control: its class, and its style under a mask.
TEXT = (STATIC, 0x1F, 0x0)  # SS_LEFT: shows what SetDlgItemTextA writes
PICTURE = (STATIC, 0x1F, 0xE)  # SS_BITMAP: takes the logo from STM_SETIMAGE
PUSH = (BUTTON, 0xF, 0x0)  # BS_PUSHBUTTON
DEFAULT = (BUTTON, 0xF, 0x1)  # BS_DEFPUSHBUTTON: Enter confirms
CHECKBOX = (BUTTON, 0xF, 0x3)  # BS_AUTOCHECKBOX: BM_SETCHECK ticks it
RADIO = (BUTTON, 0xF, 0x9)  # BS_AUTORADIOBUTTON: a click clears the others of its group
FIELD = (EDIT, 0x84, 0x80)  # ES_AUTOHSCROLL, no ES_MULTILINE: one line, scrolls for a long path
BAR = (PROGRESS, 0, 0)
MODAL = WS_POPUP | WS_CAPTION | WS_SYSMENU  # the close box sends IDCANCEL

# Per dialog: the window style bits it needs; the ids of the controls with a tab
# stop, in template order (the first has the focus at start), and of those that
# start a group; the controls the code addresses by id, with their kind and the
# least size (dialog units of 8-point MS Sans Serif) their longest text needs.
DIALOGS = {
    # The install dialog's title comes from the code, as the progress window's does.
    1000: {"style": MODAL, "tabs": [1, 2, 1003, 1004], "groups": [1001, 1002, 1003, -1], "controls": {
        1001: (TEXT, 142, 8), 1002: (TEXT, 144, 34), 1: (DEFAULT, 64, 22), 2: (PUSH, 64, 22),
        1003: (FIELD, 122, 12), 1004: (PUSH, 14, 12), 1005: (CHECKBOX, 142, 10),
        1006: (CHECKBOX, 142, 10), 1007: (CHECKBOX, 142, 10), 1010: (PICTURE, 136, 48)}},
    # Modeless, and the code never shows it: it must be visible by itself.
    3000: {"style": MODAL | WS_VISIBLE, "tabs": [], "groups": [], "controls": {3002: (BAR, 238, 8)}},
    # The choices are scanned in id order for the one ticked, so they must be
    # one radio group (none starts its own), or the first would stay ticked.
    4000: {"style": MODAL, "title": "Quavertone --- CD-ROM", "tabs": [1, 2], "groups": [],
           "controls": {1: (DEFAULT, 64, 22), 2: (PUSH, 64, 22), 4006: (PICTURE, 136, 48),
                        **{choice: (RADIO, 126, 10) for choice in range(4001, 4006)}}},
}

Dialog = namedtuple("Dialog", "style cx cy title font controls")
Control = namedtuple("Control", "id cls style x y cx cy")


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values

    def name(self):
        """A text, or the ordinal that follows 0xFFFF; "" for none."""
        if self.data[self.at:self.at + 2] == b"\xff\xff":
            return self.take("HH")[1]
        end = next(at for at in range(self.at, len(self.data), 2) if self.data[at:at + 2] == b"\0\0")
        text, self.at = self.data[self.at:end].decode("utf-16-le"), end + 2
        return text


def parse_dialog(data):
    """A DLGTEMPLATEEX and its items; None for any other template."""
    r = Reader(data)
    version, signature, _, _, style, count, _, _, cx, cy = r.take("HHIIIHhhhh")
    if (version, signature) != (1, 0xFFFF):
        return None
    r.name(), r.name()  # menu, window class
    title = r.name()
    font = (r.take("HHBB")[0], r.name()) if style & DS_SETFONT else None  # points, typeface
    controls = []
    for _ in range(count):
        r.at = (r.at + 3) & ~3
        _, _, control_style, x, y, width, height, control_id = r.take("IIIhhhhi")
        window_class, _ = r.name(), r.name()  # and the text
        creation_data = r.take("H")[0]
        r.at += creation_data
        controls.append(Control(control_id, window_class, control_style, x, y, width, height))
    return Dialog(style, cx, cy, title, font, controls)


def check_dialogs(pe, kind):
    for number, want in DIALOGS.items():
        data = resource(pe, RT_DIALOG, number)
        dialog = parse_dialog(data) if data else None
        check(dialog is not None, "dialog %d present as an extended template" % number)
        if dialog is None:
            continue
        check(dialog.style & want["style"] == want["style"],
              "dialog %d style %#010x has %#010x" % (number, dialog.style, want["style"]))
        check(dialog.font == (8, "MS Sans Serif"), "dialog %d font %r" % (number, dialog.font))
        if "title" in want:
            check(dialog.title == want["title"], "dialog %d title %r" % (number, dialog.title))
        for index, c in enumerate(dialog.controls, 1):
            inside = 0 <= c.x and c.x + c.cx <= dialog.cx and 0 <= c.y and c.y + c.cy <= dialog.cy
            check(c.style & (WS_CHILD | WS_VISIBLE) == WS_CHILD | WS_VISIBLE and inside,
                  "dialog %d control %d (id %d) visible and inside the dialog" % (number, index, c.id))
        for control_id, ((cls, mask, bits), cx, cy) in want["controls"].items():
            found = [c for c in dialog.controls if c.id == control_id]
            check(len(found) == 1, "dialog %d has one control with id %d, found %d" % (number, control_id, len(found)))
            for c in found[:1]:
                check(c.cls == cls and c.style & mask == bits and c.cx >= cx and c.cy >= cy,
                      "dialog %d control %d: class %r style %#010x size %d x %d (at least %d x %d)" % (
                          number, control_id, c.cls, c.style, c.cx, c.cy, cx, cy))
        for key, bit in (("tabs", WS_TABSTOP), ("groups", WS_GROUP)):
            ids = [c.id for c in dialog.controls if c.style & bit]
            check(ids == want[key], "dialog %d %s: %s" % (number, key, ids))


# What the i486 lacks, as objdump names it: the Pentium's RDTSC, CPUID and CMPXCHG8B, the Pentium Pro's CMOV,
# FCOMI and long NOPs, later system calls and state saves, BMI (TZCNT is REP BSF to older processors, an encoding
# no i486 manual defines) and the like, and anything on MMX, SSE or AVX registers.
NEWER = re.compile(r"\b(cmov\w*|fcmov\w*|fu?comip?|rdtscp?|rdpmc|[rw]dmsr|cpuid|cmpxchg8b|sys(enter|exit|call|ret)|fxsave"
                   r"|fxrstor|xsave\w*|xrstor\w*|nop[wl]|endbr32|prefetch\w*|[lsm]fence|clflush\w*|movnti|f?emms|fisttp\w*"
                   r"|[lt]zcnt|popcnt|movbe|crc32\w*|andn|bextr|blsi|blsr|blsmsk|bzhi|pdep|pext|rorx|sarx|shlx|shrx|adcx|adox"
                   r"|rdrand|rdseed|xgetbv|vzero\w*)\b|%[xyz]?mm\d")


def check_i486(path, kind):
    listing = subprocess.run(["i686-w64-mingw32-objdump", "-d", "--no-show-raw-insn", path],
                             capture_output=True, text=True, check=True).stdout
    code = [line.strip() for line in listing.splitlines() if re.match(r"\s+[0-9a-f]+:\t", line)]
    newer = [line for line in code if NEWER.search(line.split("\t", 1)[1])]
    print("".join("     %s\n" % re.sub(r"\s+", " ", line) for line in newer[:20]), end="")
    check(len(code) > 1000 and not newer, "%s: none of %d instructions newer than the i486: found %d" % (
        kind, len(code), len(newer)))


CHECKS = {"imports": check_imports, "pe": check_pe, "dialogs": check_dialogs}


if __name__ == "__main__":
    what, path, kind = sys.argv[1:]
    if what == "i486":
        check_i486(path, kind)
    else:
        CHECKS[what](pefile.PE(path), kind)
    sys.exit(1 if failures else 0)
