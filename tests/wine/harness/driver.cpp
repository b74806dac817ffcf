#include "driver.h"

#include <cstdio>

Program StartProgram(const std::string& path, const std::string& commandLine, const std::string& folder) {
  Program program;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  // Wine now and then refuses a start under load (error 1359) before the
  // program runs any code; such a start is simply tried again.
  for (int attempt = 0; attempt < 3 && !program.started; ++attempt) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
      program.thread = info.hThread;
      program.process = info.hProcess;
      program.id = info.dwProcessId;
      program.started = true;
    } else {
      std::printf("    CreateProcess(%s) failed: error %lu\n", path.c_str(), GetLastError());
      Sleep(200);
    }
  }
  return program;
}

long WaitForExit(Program& program, DWORD timeoutMs) {
  if (!program.started) return -1;
  if (WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0) {
    std::printf("    program %lu still running after %lu ms; windows:\n", program.id, timeoutMs);
    for (HWND w : WindowsOfProcess(program.id)) std::printf("%s", DescribeDialog(w).c_str());
    KillProgram(program);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(program.process, &code);
  CloseHandle(program.process);
  CloseHandle(program.thread);
  program = Program();
  return static_cast<long>(code);
}

void KillProgram(Program& program) {
  if (!program.started) return;
  TerminateProcess(program.process, 99);
  WaitForSingleObject(program.process, 5000);
  CloseHandle(program.process);
  CloseHandle(program.thread);
  program = Program();
}

bool IsRunning(const Program& program) {
  return program.started && WaitForSingleObject(program.process, 0) == WAIT_TIMEOUT;
}

namespace {

struct Search {
  const std::string* caption;
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && owner != search->processId) return TRUE;
  if (search->caption != nullptr && WindowText(window) != *search->caption) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> FindWindowsByCaption(const std::string& caption, DWORD processId) {
  Search search{&caption, processId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> WindowsOfProcess(DWORD processId) {
  Search search{nullptr, processId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const std::string& caption, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] {
    std::vector<HWND> windows = FindWindowsByCaption(caption, processId);
    for (HWND w : windows) {
      if (IsWindowVisible(w)) {
        found = w;
        return true;
      }
    }
    return false;
  }, timeoutMs);
  if (found == nullptr) std::printf("    no window captioned \"%s\" within %lu ms\n", caption.c_str(), timeoutMs);
  return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

std::string WindowText(HWND window) {
  char buffer[1024] = "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 5000, &length))
    return "";
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? WindowText(control) : std::string("<no control ") + std::to_string(id) + ">";
}

std::string ClassNameOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool IsChecked(HWND dialog, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

bool IsControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

bool IsEditReadOnly(HWND dialog, int id) {
  return (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
}

bool IsDefaultButton(HWND dialog, int id) {
  return (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void SetControlText(HWND dialog, int id, const std::string& text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &ignored);
}

void PressKey(HWND window, UINT virtualKey) {
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

void CloseWindowAsCloseBox(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

std::string MessageBoxText(HWND box) { return ControlText(box, 0xFFFF); }

namespace {

BOOL CALLBACK DescribeChild(HWND child, LPARAM context) {
  std::string* out = reinterpret_cast<std::string*>(context);
  char line[1400];
  LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
  std::snprintf(line, sizeof line, "      id %d %s \"%s\" style %08lx%s%s\n", GetDlgCtrlID(child),
                ClassNameOf(child).c_str(), WindowText(child).c_str(), static_cast<unsigned long>(style),
                IsWindowEnabled(child) ? "" : " disabled", IsWindowVisible(child) ? "" : " hidden");
  *out += line;
  return TRUE;
}

}  // namespace

std::string DescribeDialog(HWND dialog) {
  std::string out = "    window \"" + WindowText(dialog) + "\" class " + ClassNameOf(dialog) + "\n";
  EnumChildWindows(dialog, DescribeChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  char buffer[1024];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : fallback;
}

std::string ReadFileText(const std::string& path) {
  std::string text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteFileText(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool good = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && good;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string FreshFolder(const std::string& name) {
  CreateDirectoryA("C:\\qvtest", nullptr);
  std::string folder = "C:\\qvtest\\" + name;
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::vector<uint8_t> GrabScreen(const std::vector<HWND>& windows, RECT* area) {
  RECT r = {0, 0, 0, 0};
  for (HWND w : windows) {
    RECT wr;
    if (w && IsWindowVisible(w) && GetWindowRect(w, &wr)) UnionRect(&r, &r, &wr);
  }
  InflateRect(&r, 8, 8);
  r.left = r.left < 0 ? 0 : r.left;
  r.top = r.top < 0 ? 0 : r.top;
  *area = r;
  int width = r.right - r.left, height = r.bottom - r.top;
  std::vector<uint8_t> pixels;
  if (width <= 16 || height <= 16) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
  pixels.resize(stride * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

bool SaveBitmap(const std::string& path, const std::vector<uint8_t>& pixels, const RECT& area) {
  if (pixels.empty()) return false;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = area.right - area.left;
  info.biHeight = area.bottom - area.top;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(pixels.begin(), pixels.end());
  return WriteFileText(path, bytes);
}
