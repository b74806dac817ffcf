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
# All but the payloads and the logo; the x86_64 build's code and unwind tables are larger.
STUB_LIMIT = {"win32": 37 * 1024, "win64": 44 * 1024}
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)
    return condition


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
    """Read by Vista and later only: administrator rights, no common controls 6 and no DPI awareness."""
    text = resource(pe, RT_MANIFEST, 1)
    try:
        root = ElementTree.fromstring(text or b"")
    except ElementTree.ParseError as error:
        return check(False, "manifest 1 present and parses: %s" % error)
    attributes = [(e.tag.split("}")[-1], e.attrib) for e in root.iter()]
    levels = [a.get("level") for tag, a in attributes if tag == "requestedExecutionLevel"]
    check(levels == ["requireAdministrator"], "execution level requireAdministrator: %s" % levels)
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
    if check(logo is not None, "bitmap 200 present"):
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


WS_CHILD, WS_VISIBLE, WS_GROUP, WS_TABSTOP, DS_SETFONT = 0x40000000, 0x10000000, 0x00020000, 0x00010000, 0x0040
# Per dialog: the controls with a tab stop, in template order (the first has the focus at start), and those that
# start a group (none in the CD-ROM menu: its five choices are one radio group, or a click would leave two ticked);
# the least size (dialog units of 8-point MS Sans Serif) of the controls whose longest text or the logo needs it.
DIALOGS = {
    1000: ([1, 2, 1003, 1004], [1001, 1002, 1003, -1], {1001: (142, 8), 1002: (144, 34), 1: (64, 22), 2: (64, 22),
           1003: (122, 12), 1004: (14, 12), 1005: (142, 10), 1006: (142, 10), 1007: (142, 10), 1010: (136, 48)}),
    3000: ([], [], {3002: (238, 8)}),
    4000: ([1, 2], [], {1: (64, 22), 2: (64, 22), 4006: (136, 48), **{c: (126, 10) for c in range(4001, 4006)}}),
}
# Style bits under a mask: Enter confirms (BS_DEFPUSHBUTTON); the folder field is one line that scrolls for a path
# longer than itself (ES_AUTOHSCROLL, no ES_MULTILINE); the choices are automatic radio buttons.
STYLES = {1: (0xF, 0x1), 1003: (0x84, 0x80), **{c: (0xF, 0x9) for c in range(4001, 4006)}}
Control = namedtuple("Control", "id style x y cx cy")


def parse_dialog(data):
    """Style, size, font and controls of a DLGTEMPLATEEX; None for any other template."""
    def skip(at, texts):  # past that many texts, or ordinals after 0xFFFF
        for _ in range(texts):
            at = at + 4 if data[at:at + 2] == b"\xff\xff" else \
                next(i for i in range(at, len(data), 2) if data[i:i + 2] == b"\0\0") + 2
        return at

    version, signature, _, _, style, count, _, _, cx, cy = struct.unpack_from("<HHIIIHhhhh", data)
    if (version, signature) != (1, 0xFFFF):
        return None
    at, font = skip(26, 3), None  # past the menu, window class and title
    if style & DS_SETFONT:  # points, weight, italic, character set, typeface
        end = skip(at + 6, 1)
        at, font = end, (struct.unpack_from("<H", data, at)[0], data[at + 6:end - 2].decode("utf-16-le"))
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        item = struct.unpack_from("<IIIhhhhi", data, at)  # help id, extended style, style, x, y, cx, cy, id
        at = skip(at + 24, 2)  # past the class and text
        at += 2 + struct.unpack_from("<H", data, at)[0]  # and the creation data
        controls.append(Control(item[7], *item[2:7]))
    return style, cx, cy, font, controls


def check_dialogs(pe, kind):
    for number, (tabs, groups, sizes) in DIALOGS.items():
        data = resource(pe, RT_DIALOG, number)
        dialog = parse_dialog(data) if data else None
        if not check(dialog is not None, "dialog %d present as an extended template" % number):
            continue
        style, cx, cy, font, controls = dialog
        check(font == (8, "MS Sans Serif"), "dialog %d font %r" % (number, font))
        if number == 3000:  # modeless, and the code never shows it
            check(style & WS_VISIBLE, "dialog 3000 visible by itself")
        check(sorted(c.id for c in controls if c.id in sizes) == sorted(sizes), "dialog %d: one of each control" % number)
        for c in controls:
            inside = 0 <= c.x and c.x + c.cx <= cx and 0 <= c.y and c.y + c.cy <= cy
            least, (mask, bits) = sizes.get(c.id, (0, 0)), STYLES.get(c.id, (0, 0))
            check(c.style & (WS_CHILD | WS_VISIBLE) == WS_CHILD | WS_VISIBLE and inside and c.style & mask == bits and
                  c.cx >= least[0] and c.cy >= least[1], "dialog %d control %d: visible, inside, style %#010x, %d x %d "
                  "(at least %d x %d)" % (number, c.id, c.style, c.cx, c.cy, *least))
        for want, bit, what in ((tabs, WS_TABSTOP, "tab stops"), (groups, WS_GROUP, "group starts")):
            ids = [c.id for c in controls if c.style & bit]
            check(ids == want, "dialog %d %s: %s" % (number, what, ids))


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


if __name__ == "__main__":
    what, path, kind = sys.argv[1:]
    checks = {"imports": check_imports, "pe": check_pe, "dialogs": check_dialogs, "i486": check_i486}
    checks[what](path if what == "i486" else pefile.PE(path), kind)
    sys.exit(1 if failures else 0)
