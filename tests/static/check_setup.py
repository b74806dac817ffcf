#!/usr/bin/python3
"""Static checks of a built setup.exe, one kind per run so that a failure
names what broke.

usage: check_setup.py imports setup.exe (win32|win64)
"""
import sys

import pefile

from allowed_imports import ALLOWED, C_RUNTIME_DLL, WIDE_PREFIXES

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


CHECKS = {"imports": check_imports}


def main():
    what, path, kind = sys.argv[1:]
    CHECKS[what](pefile.PE(path), kind)
    if failures:
        print("%d check(s) failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
