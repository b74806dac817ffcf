#!/usr/bin/python3
"""Fails when setup.exe imports a DLL or function outside allowed_imports."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import allowed_imports as allowed  # noqa: E402


def read_imports(objdump, exe):
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    imports = {}
    dll = None
    in_table = False
    for line in text.splitlines():
        if line.startswith("The Import Tables"):
            in_table = True
            continue
        if not in_table:
            continue
        if line.startswith("The ") and "Import" not in line:
            break
        stripped = line.strip()
        if stripped.startswith("DLL Name:"):
            dll = stripped.split(":", 1)[1].strip().lower()
            imports.setdefault(dll, set())
            continue
        parts = stripped.split()
        if dll and len(parts) == 3 and parts[2] == "<none>":
            # The thunk holds the ordinal in its low 16 bits, flag bit set.
            imports[dll].add("#%d" % (int(parts[0], 16) & 0xFFFF))
        elif dll and len(parts) == 3 and all(c in "0123456789abcdef" for c in parts[0]) and parts[1].isdigit():
            imports[dll].add(parts[2])
    return imports


def main():
    objdump, exe = sys.argv[1], sys.argv[2]
    imports = read_imports(objdump, exe)
    problems = []
    for dll, names in sorted(imports.items()):
        for name in sorted(names):
            if dll == allowed.C_RUNTIME_DLL:
                if allowed.is_wide_crt_function(name):
                    problems.append("%s!%s: wide-character runtime call" % (dll, name))
                continue
            if name in allowed.PLATFORM.get(dll, ()):
                continue
            if dll == "kernel32.dll" and name in allowed.C_RUNTIME_KERNEL32:
                continue
            problems.append("%s!%s: not an allowed import" % (dll, name))
    if not imports:
        problems.append("no import table found")
    for dll, names in sorted(imports.items()):
        print("%s: %s" % (dll, " ".join(sorted(names))))
    for p in problems:
        print("FAIL " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
