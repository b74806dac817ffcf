"""What setup.exe may import; check_setup.py fails on anything else, a C runtime
DLL included (the first Windows 95 has no msvcrt.dll).  A name beyond the plain
ANSI calls of the first rows goes in with its reason."""

ALLOWED = {
    "kernel32.dll": {
        "GetModuleHandleA", "GetVersionExA", "GlobalAlloc", "SetCurrentDirectoryA", "CreateDirectoryA", "CreateFileA",
        "WriteFile", "CloseHandle", "DeleteFileA", "FindResourceA", "SizeofResource", "LoadResource", "LockResource",
        "GetWindowsDirectoryA", "GetCommandLineA", "MultiByteToWideChar", "ExitProcess",
        "IsDBCSLeadByte",  # the command tail: a double-byte name in quotes keeps its trail byte
        "ReadFile",  # our own expander reads the scratch file (lz32's LZCopy is not used)
        "GetDriveTypeA",  # whether the installer runs from the product CD-ROM
        "CreateMutexA", "GetLastError",  # held while the installer runs: a second one started beside it ends
        "GetSystemDirectoryA",  # comctl32 is loaded by its full path there, never from beside setup.exe
        "LoadLibraryA", "GetProcAddress",  # comctl32's ordinal 17; the DLL search limits where kernel32 has them
        "GetFileAttributesA", "MoveFileA", "RemoveDirectoryA",  # all or nothing: staged files, kept files, undo
        "FindFirstFileA", "FindClose",  # whether a killed run left anything in the destination
        "FlushFileBuffers",  # every staged file is on the disk before the first earlier file is moved aside
        "CreateProcessA", "ResumeThread",  # the legacy uninstaller starts suspended, to be in a job before it runs
        "SetErrorMode",  # unattended, the platform's own boxes (no disk in the drive) fail quietly
        "GetLocalTime", "SetFilePointer",  # the log ("/LOG="): each line stamped and appended
    },
    "user32.dll": {
        "RegisterClassA", "LoadIconA", "LoadCursorA", "FindWindowA", "MessageBoxA", "DialogBoxParamA",
        "CreateDialogParamA", "EndDialog", "DestroyWindow", "SetWindowTextA", "SetDlgItemTextA", "GetDlgItemTextA",
        "SendDlgItemMessageA", "GetDlgItem", "EnableWindow", "LoadImageA", "PeekMessageA", "IsDialogMessageA",
        "MsgWaitForMultipleObjects", "DispatchMessageA",  # waiting for the legacy uninstaller, messages handled
    },
    "advapi32.dll": {
        "RegCreateKeyExA", "RegOpenKeyExA", "RegSetValueExA", "RegQueryValueExA", "RegDeleteValueA", "RegCloseKey",
        "RegDeleteKeyA",  # an earlier release's uninstall entry is replaced whole
    },
    "shell32.dll": {
        "SHBrowseForFolderA", "ShellExecuteA", "SHGetSpecialFolderLocation",
        "SHGetPathFromIDListA",  # exported under the A name by every shell32
        "SHGetMalloc",  # frees the browser's item list with the allocator every 9x shell has
        "ShellExecuteExA",  # waits for the legacy uninstaller; starts unattended without the shell's boxes
    },
    "ole32.dll": {"CoInitialize", "CoCreateInstance", "CoUninitialize"},
}

