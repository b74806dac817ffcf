// Drives the installer from another process in the same Wine prefix, as a
// person at the screen would: start it, wait for its dialogs and message
// boxes, read what they show, press their buttons, and wait for its end.
// Every wait has a timeout, so a hung installer fails its test instead of
// hanging the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

// Generous: a wait ends as soon as its condition holds, and only a failing
// test waits this long, so a loaded machine does not turn into a failure.
constexpr DWORD kDefaultTimeoutMs = 60000;

struct Program {
  HANDLE process = nullptr;
  HANDLE thread = nullptr;  // its first thread
  DWORD id = 0;
  bool started = false;
};

// Starts path with the exact command line given (quoted or not) in folder.
Program StartProgram(const std::string& path, const std::string& commandLine, const std::string& folder);
// Waits for the end of the program; answers its exit code, or -1 on timeout
// (the program is then killed).
long WaitForExit(Program& program, DWORD timeoutMs = kDefaultTimeoutMs);
// Kills a program that is still running; used when a test gives up.
void KillProgram(Program& program);
// True while the program has not ended.
bool IsRunning(const Program& program);

// Top-level windows of a process (all of them when processId is 0) whose
// caption is exactly caption; visible or not.
std::vector<HWND> FindWindowsByCaption(const std::string& caption, DWORD processId = 0);
// Any top-level window that belongs to the process.
std::vector<HWND> WindowsOfProcess(DWORD processId);
// Waits for a top-level window with that caption; nullptr on timeout.
HWND WaitForWindow(const std::string& caption, DWORD processId = 0, DWORD timeoutMs = kDefaultTimeoutMs);
// Waits until no top-level window with that caption exists.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// Polls condition every 20 ms until it holds or the time is up.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kDefaultTimeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return condition();
    Sleep(20);
  }
}

// Text of a window or control of another process (WM_GETTEXT).
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
std::string ClassNameOf(HWND window);
bool IsChecked(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
bool IsEditReadOnly(HWND dialog, int id);
bool IsDefaultButton(HWND dialog, int id);
// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);

// Presses a button the way a click does (posted, so a modal box it opens
// does not block the driver).
void Click(HWND dialog, int id);
// Puts text into an edit control as typing would end up.
void SetControlText(HWND dialog, int id, const std::string& text);
// Sends a key press (down and up) to a window.
void PressKey(HWND window, UINT virtualKey);
// Asks a window to close as its close box does.
void CloseWindowAsCloseBox(HWND window);

// A message box's text.
std::string MessageBoxText(HWND box);

// Lists the controls of a dialog with ids, classes, texts and states: printed
// when a check fails, so that the failure says what was on the screen.
std::string DescribeDialog(HWND dialog);

// The screen area covering windows (with a small margin), as 24-bit rows
// bottom up; and such a grab saved as a BMP file.
std::vector<uint8_t> GrabScreen(const std::vector<HWND>& windows, RECT* area);
bool SaveBitmap(const std::string& path, const std::vector<uint8_t>& pixels, const RECT& area);

// Files and folders of the test.
std::string EnvOr(const char* name, const std::string& fallback);
std::string ReadFileText(const std::string& path);
bool FileExists(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
// Deletes a folder with everything in it.
void RemoveTree(const std::string& folder);
// A fresh empty folder under C:\qvtest for one case.
std::string FreshFolder(const std::string& name);
