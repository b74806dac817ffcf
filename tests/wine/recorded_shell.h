// Included ahead of the CD-ROM starts by the companions test only: their ShellExecuteA goes to the test's recorder.
#pragma once
#include <windows.h>
#include <shellapi.h>
decltype(ShellExecuteA) RecordedShellExecute;
#define ShellExecuteA RecordedShellExecute
