#!/usr/bin/python3
"""Static checks of a built setup.exe, one kind per run so that a failure
names what broke.

usage: check_setup.py (imports|pe) setup.exe (win32|win64)
"""
import struct
import sys

import pefile

from allowed_imports import ALLOWED, C_RUNTIME_DLL, WIDE_PREFIXES

RT_BITMAP, RT_GROUP_ICON = 2, 14
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def check_imports(pe, kind):
    imports = {}
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        names = imports.setdefault(entry.dll.decode().lower(), set())
        names.update(i.name.decode() if i.name else "#%d" % i.ordinal for i in entry.imports)
    check(bool(imports), "an import table")
    for dll, names in sorted(imports.items()):
        for name in sorted(names):
            if dll == C_RUNTIME_DLL:
                check(not name.startswith(WIDE_PREFIXES), "%s!%s is no wide-character call" % (dll, name))
            else:
                check(name in ALLOWED.get(dll, ()), "%s!%s is an allowed import" % (dll, name))


def resource(pe, type_id, name_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id:
            for name in entry.directory.entries:
                if name.id == name_id:
                    data = name.directory.entries[0].data.struct
                    return pe.get_data(data.OffsetToData, data.Size)
    return None


def check_pe(pe, kind):
    opt, machine = pe.OPTIONAL_HEADER, pe.FILE_HEADER.Machine
    check(machine == {"win32": 0x14C, "win64": 0x8664}[kind], "machine %#x for %s" % (machine, kind))
    check(opt.Subsystem == 2, "GUI subsystem (2), found %d" % opt.Subsystem)
    check(pe.FILE_HEADER.TimeDateStamp == 0, "no time stamp in the file header")
    if kind == "win32":
        # The 9x/ME and NT 4 loaders refuse a subsystem or OS version above 4.0.
        subsystem = (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion)
        system = (opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion)
        check(subsystem == (4, 0), "subsystem version 4.0, found %d.%d" % subsystem)
        check(system == (4, 0), "OS version 4.0, found %d.%d" % system)

    # The logo is loaded with LR_LOADMAP3DCOLORS, which maps the greys of a
    # colour table, and sits on a white rectangle of the dialogs.
    logo = resource(pe, RT_BITMAP, 200)
    check(logo is not None, "bitmap 200 present")
    if logo is not None:
        _, width, height, _, bits, compression = struct.unpack_from("<IiiHHI", logo)
        check((width, abs(height), bits, compression) == (189, 67, 8, 0),
              "bitmap 200 is 189 x 67 at 8 bits per pixel, uncompressed")
        colours = struct.unpack_from("<I", logo, 32)[0] or 256
        corner = 40 + 4 * logo[40 + 4 * colours]
        check(logo[corner:corner + 3] == b"\xff\xff\xff", "bitmap 200 has a white background")
    icon = resource(pe, RT_GROUP_ICON, 100)
    check(icon is not None, "icon group 100 present")
    if icon is not None:
        images = []
        for i in range(struct.unpack_from("<H", icon, 4)[0]):
            width, height, colours, _, _, bits = struct.unpack_from("<BBBBHH", icon, 6 + 14 * i)
            images.append((width, height, colours, bits))
        check(sorted(images) == [(16, 16, 16, 4), (32, 32, 16, 4)],
              "icon 100 has 16 x 16 and 32 x 32 images of 16 colours: %s" % images)


CHECKS = {"imports": check_imports, "pe": check_pe}


def main():
    what, path, kind = sys.argv[1:]
    CHECKS[what](pefile.PE(path), kind)
    if failures:
        print("%d check(s) failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
