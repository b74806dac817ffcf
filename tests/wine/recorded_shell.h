// Included ahead of the CD-ROM starts and the DLL search limits by the companions test only: their shell and
// loader calls go to the test's recorders.
#pragma once
#include <windows.h>
#include <shellapi.h>
decltype(ShellExecuteExA) RecordedShellExecuteEx;
decltype(LoadLibraryA) RecordedLoadLibrary;
decltype(GetProcAddress) RecordedGetProcAddress;
#define ShellExecuteExA RecordedShellExecuteEx
#define LoadLibraryA RecordedLoadLibrary
#define GetProcAddress RecordedGetProcAddress
