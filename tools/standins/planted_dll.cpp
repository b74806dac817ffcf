// A DLL that anyone may have left beside setup.exe, in a download folder or
// on a copied CD.  Built as comctl32.dll (exporting only ordinal 17, as the
// oldest copies do) and as uxtheme.dll; when a process loads it, it appends
// "PROCESS loaded DLL" to C:\qvtest\planted.log, which the tests look for.
#include <windows.h>

#include <cstring>

extern "C" void PlantedOrdinal17() {}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char line[2 * MAX_PATH + 16] = "";
  GetModuleFileNameA(nullptr, line, MAX_PATH);
  std::strcat(line, " loaded ");
  GetModuleFileNameA(instance, line + std::strlen(line), MAX_PATH);
  std::strcat(line, "\r\n");
  HANDLE log = CreateFileA("C:\\qvtest\\planted.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (log != INVALID_HANDLE_VALUE) {
    WriteFile(log, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(log);
  }
  return TRUE;
}
