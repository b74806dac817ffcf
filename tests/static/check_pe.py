#!/usr/bin/python3
"""Static checks of a built setup.exe: PE header fields and resources.

usage: check_pe.py setup.exe (win32|win64)
"""
import struct
import sys

import pefile

RT_BITMAP = 2
RT_GROUP_ICON = 14

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def find_resource(pe, type_id, name_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id or (entry.name is not None and str(entry.name) == type_id):
            for name in entry.directory.entries:
                if name.id == name_id:
                    lang = name.directory.entries[0]
                    rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                    return lang.id, pe.get_data(rva, size)
    return None, None


def main():
    path, kind = sys.argv[1], sys.argv[2]
    pe = pefile.PE(path)
    opt = pe.OPTIONAL_HEADER
    check(opt.Subsystem == 2, "GUI subsystem (2), found %d" % opt.Subsystem)
    check(pe.FILE_HEADER.TimeDateStamp == 0, "no time stamp in the file header")
    if kind == "win32":
        check(pe.FILE_HEADER.Machine == 0x14C, "i386 machine")
        check((opt.MajorSubsystemVersion, opt.MinorSubsystemVersion) == (4, 0),
              "subsystem version 4.0, found %d.%d" % (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion))
        check((opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion) == (4, 0),
              "OS version 4.0, found %d.%d" % (opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion))
    else:
        check(pe.FILE_HEADER.Machine == 0x8664, "x86_64 machine")
    if hasattr(pe, "DIRECTORY_ENTRY_DEBUG"):
        for d in pe.DIRECTORY_ENTRY_DEBUG:
            check(d.struct.TimeDateStamp == 0, "no time stamp in the debug directory")

    _, bitmap = find_resource(pe, RT_BITMAP, 200)
    check(bitmap is not None, "bitmap 200 present")
    if bitmap is not None:
        (size, width, height, planes, bits, compression, _, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", bitmap)
        check(size == 40, "bitmap 200 has a BITMAPINFOHEADER")
        check((width, abs(height)) == (189, 67), "bitmap 200 is 189 x 67, found %d x %d" % (width, abs(height)))
        check(bits == 8 and planes == 1, "bitmap 200 has 8 bits per pixel, found %d" % bits)
        check(compression == 0, "bitmap 200 is uncompressed")
        colours = used if used else 256
        check(colours == 256, "bitmap 200 has a 256-entry colour table, found %d" % colours)
        table = bitmap[40:40 + 4 * colours]
        stride = (width + 3) & ~3
        pixels = bitmap[40 + 4 * colours:]
        check(len(pixels) >= stride * abs(height), "bitmap 200 holds all its pixel rows")
        corner = pixels[0]
        b, g, r = table[4 * corner], table[4 * corner + 1], table[4 * corner + 2]
        check((r, g, b) == (255, 255, 255), "bitmap 200 has a white background")

    lang, group = find_resource(pe, RT_GROUP_ICON, 100)
    check(group is not None, "icon group 100 present")
    if group is not None:
        _, _, count = struct.unpack_from("<HHH", group)
        sizes = []
        for i in range(count):
            w, h, colours, _, _, bits, _, _ = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            sizes.append((w, h, colours, bits))
        check(sorted((w, h) for w, h, _, _ in sizes) == [(16, 16), (32, 32)], "icon 100 has 16x16 and 32x32 images: %s" % sizes)
        check(all(c == 16 and b == 4 for _, _, c, b in sizes), "icon 100 images have 16 colours")

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
