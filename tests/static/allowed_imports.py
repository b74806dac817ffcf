"""What setup.exe may import, DLL by DLL.

The installer is meant to run on every 32-bit Windows of the 9x/ME and NT
families, so it may only use the platform calls it was designed around plus
what the C runtime's start-up code needs.  A call that is missing from the
oldest platforms (or a wide-character call, which the 9x family lacks) must
not slip in unnoticed: add a name here only with the reason it is needed.
"""

PLATFORM = {
    "kernel32.dll": {
        "GetModuleHandleA", "GetVersionExA", "GlobalAlloc", "SetCurrentDirectoryA",
        "CreateDirectoryA", "CreateFileA", "WriteFile", "CloseHandle", "DeleteFileA",
        "FindResourceA", "SizeofResource", "LoadResource", "LockResource",
        "GetWindowsDirectoryA", "GetCommandLineA", "MultiByteToWideChar", "ExitProcess",
        # Our command-tail rule: a double-byte name in quotes keeps its trail byte.
        "IsDBCSLeadByte",
        # Our own expander reads the scratch file (in place of lz32's LZCopy).
        "ReadFile",
        # Whether the installer runs from the product CD-ROM: its drive's type.
        "GetDriveTypeA",
    },
    "user32.dll": {
        "RegisterClassA", "LoadIconA", "LoadCursorA", "FindWindowA", "MessageBoxA",
        "DialogBoxParamA", "CreateDialogParamA", "EndDialog", "DestroyWindow",
        "SetWindowTextA", "SetDlgItemTextA", "GetDlgItemTextA", "SendDlgItemMessageA",
        "GetDlgItem", "EnableWindow", "LoadImageA", "PeekMessageA", "IsDialogMessageA",
    },
    # comctl32 only by ordinal: 17 is InitCommonControls.
    "comctl32.dll": {"#17"},
    "advapi32.dll": {
        "RegCreateKeyExA", "RegOpenKeyExA", "RegSetValueExA", "RegQueryValueExA",
        "RegDeleteValueA", "RegCloseKey",
    },
    "shell32.dll": {
        # The A forms are the only ones the 9x shell has; SHGetPathFromIDList is
        # exported under the A name by every shell32.
        "SHBrowseForFolderA", "SHGetPathFromIDListA", "SHGetSpecialFolderLocation",
        "ShellExecuteA",
        # Frees the folder browser's item list with the shell's own allocator, the one every 9x shell has.
        "SHGetMalloc",
    },
    "ole32.dll": {"CoInitialize", "CoCreateInstance", "CoUninitialize"},
    "lz32.dll": {"LZOpenFileA", "LZCopy", "LZClose"},
}

# Imported by the start-up code of the mingw-w64 C runtime, not by the
# installer's own code.
C_RUNTIME_KERNEL32 = {
    "DeleteCriticalSection": "locks around the runtime's atexit and TLS tables",
    "EnterCriticalSection": "locks around the runtime's atexit and TLS tables",
    "InitializeCriticalSection": "locks around the runtime's atexit and TLS tables",
    "LeaveCriticalSection": "locks around the runtime's atexit and TLS tables",
    "GetLastError": "TLS callback and error paths of the start-up code",
    "GetStartupInfoA": "the show command handed to WinMain",
    "SetUnhandledExceptionFilter": "the runtime's fault handler for arithmetic faults",
    "Sleep": "the start-up code waits here if another thread is initialising",
    "TlsGetValue": "per-thread destructor support of the runtime",
    "VirtualProtect": "pseudo-relocation of references into DLL data at start-up",
    "VirtualQuery": "pseudo-relocation of references into DLL data at start-up",
    "__C_specific_handler": "x86_64 only: structured exception unwinding in the start-up code",
    "LoadLibraryA": "i686 only: the start-up code looks for a shared libgcc to register unwind tables",
    "GetProcAddress": "i686 only: the same look-up of libgcc's frame registration",
    "FreeLibrary": "i686 only: the same look-up of libgcc's frame registration",
}

# The C runtime DLL itself, shipped with every platform the installer runs
# on.  Any of its functions may be pulled in by the standard library, except
# the wide-character ones.
C_RUNTIME_DLL = "msvcrt.dll"


def is_wide_crt_function(name):
    return name.startswith(("wcs", "_wcs", "_w", "wprintf", "swprintf", "_snw", "wmem", "iswalpha", "towlower", "towupper"))
