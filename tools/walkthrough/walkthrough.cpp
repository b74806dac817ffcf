// A scripted walk through a first installation from the CD-ROM, for the
// run command when nobody is at the screen: starts E:\setup.exe as the CD's
// autorun would, answers each step as a new user would, saves a picture of
// each step (a BMP of the screen around the step's windows), and writes a
// report of what was installed.
//   walkthrough.exe OUTPUT_FOLDER      (a Windows path)
//   walkthrough.exe --interactive      only start it, for the person at
//                                      the screen, and wait for its end
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "harness/driver.h"
#include "harness/installation.h"

namespace {

std::string outputFolder;
FILE* report = nullptr;

void Say(const char* format, const std::string& a = "", const std::string& b = "") {
  std::printf(format, a.c_str(), b.c_str());
  std::printf("\n");
  std::fflush(stdout);
  if (report) {
    std::fprintf(report, format, a.c_str(), b.c_str());
    std::fprintf(report, "\n");
    std::fflush(report);
  }
}

// Grabs the screen area covering windows (with a small margin).
std::vector<uint8_t> Grab(const std::vector<HWND>& windows, RECT* area) {
  RECT r = {0, 0, 0, 0};
  bool first = true;
  for (HWND w : windows) {
    RECT wr;
    if (!w || !GetWindowRect(w, &wr)) continue;
    if (first) {
      r = wr;
      first = false;
    } else {
      UnionRect(&r, &r, &wr);
    }
  }
  InflateRect(&r, 8, 8);
  if (r.left < 0) r.left = 0;
  if (r.top < 0) r.top = 0;
  *area = r;
  int width = r.right - r.left, height = r.bottom - r.top;
  std::vector<uint8_t> pixels;
  if (width <= 0 || height <= 0) return pixels;
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

// Saves a picture of the windows once painting has settled (two grabs in a
// row agree).
void Shot(const std::string& name, const std::vector<HWND>& windows) {
  RECT area;
  std::vector<uint8_t> previous, current;
  for (int i = 0; i < 40; ++i) {
    Sleep(150);
    current = Grab(windows, &area);
    if (!current.empty() && current == previous) break;
    previous = current;
  }
  if (current.empty()) return;
  int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(current.size());
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::string path = outputFolder + "\\" + name + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(&file, sizeof file, 1, f);
  std::fwrite(&info, sizeof info, 1, f);
  std::fwrite(current.data(), 1, current.size(), f);
  std::fclose(f);
  Say("picture: %s", name);
}

void ReportInstallation(const std::string& folder) {
  Say("");
  Say("Installed into %s", folder);
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      char line[400];
      std::snprintf(line, sizeof line, "  %-20s %10lu bytes", data.cFileName, data.nFileSizeLow);
      Say("%s", line);
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  Say("Registry:");
  std::string value;
  DWORD type = 0;
  if (ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory", &value, &type))
    Say("  HKCU\\Software\\Quavertone  ProgramDirectory = %s", value.c_str());
  if (ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", &value, &type) && value.size() == 4) {
    char bytes[64];
    std::snprintf(bytes, sizeof bytes, "%02X %02X %02X %02X (REG_BINARY, %u)", static_cast<uint8_t>(value[0]),
                  static_cast<uint8_t>(value[1]), static_cast<uint8_t>(value[2]), static_cast<uint8_t>(value[3]),
                  static_cast<unsigned>(static_cast<uint8_t>(value[0]) | static_cast<uint8_t>(value[1]) << 8));
    Say("  HKCU\\Software\\Quavertone  ProgramVersion = %s", bytes);
  }
  const char* uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone";
  for (const char* name : {"DisplayName", "UninstallString"}) {
    if (ReadValue(HKEY_LOCAL_MACHINE, uninstall, name, &value))
      Say("  HKLM\\...\\Uninstall\\Quavertone  %s = %s", name, value.c_str());
  }
  Say("Shortcuts:");
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
    std::string path = SpecialFolderPath(csidl) + "\\Quavertone.lnk";
    Say(FileExists(path) ? "  %s" : "  %s (missing)", path);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: walkthrough.exe OUTPUT_FOLDER | --interactive\n");
    return 2;
  }
  if (std::string(argv[1]) == "--interactive") {
    Program setup = StartSetupFromCdRom("/autorun");
    return static_cast<int>(WaitForExit(setup, INFINITE));
  }
  outputFolder = argv[1];
  report = std::fopen((outputFolder + "\\report.txt").c_str(), "w");
  ResetInstallation();

  Say("1. The CD's autorun starts E:\\setup.exe /autorun");
  Program setup = StartSetupFromCdRom("/autorun");
  HWND dialog = WaitForWindow(INSTALL_DIALOG_CAPTION, setup.id);
  if (!dialog) return 1;
  WaitUntil([&] { return ControlText(dialog, 1002).find("Quavertone") != std::string::npos; });
  Shot("1-install-dialog", {dialog});
  Say("   proposed folder: %s", ControlText(dialog, 1003));

  Say("2. The user presses Install");
  Click(dialog, IDOK);
  HWND progress = WaitForWindow("Installing Quavertone  ---  Working ... ", setup.id, 3000);
  if (progress) Shot("2-progress", {progress});

  HWND box = WaitForWindow(QUESTION_CAPTION, setup.id, 60000);
  if (!box) return 1;
  Say("3. The closing message: %s", MessageBoxText(box));
  Shot("3-installed", {box});
  ReportInstallation(DEFAULT_DESTINATION);
  Say("");
  Say("Programs started: %s", Started("tonekit.exe") + Started("bladeenc.exe"));

  Say("4. The user answers Yes: the product starts");
  AnswerMessageBox(box, IDYES);
  WaitForExit(setup, 30000);
  WaitUntil([] { return FindWindowA("Quavertone", nullptr) != nullptr; });
  HWND product = FindWindowA("Quavertone", nullptr);
  if (product) Shot("4-product", {product});
  if (product) PostMessageA(product, WM_CLOSE, 0, 0);
  WaitUntil([] { return FindWindowA("Quavertone", nullptr) == nullptr; });

  Say("5. The CD's autorun again, now over the installation: the CD-ROM menu");
  Program again = StartSetupFromCdRom("/autorun");
  HWND menu = WaitForWindow(CDROM_MENU_CAPTION, again.id);
  if (menu) {
    Shot("5-cdrom-menu", {menu});
    Click(menu, IDCANCEL);
  }
  WaitForExit(again, 30000);
  if (report) std::fclose(report);
  return 0;
}
