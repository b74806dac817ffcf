#include "control/start_program.h"

#include <windows.h>
#include <shellapi.h>

#include "common/text.h"

namespace {

// Folders hold at most 255 characters; with the separator and a short
// program name the path stays within the platform's 260.
char programPath[MAX_PATH];

}  // namespace

bool StartProgramInFolder(const char* fileName, const char* parameters, const char* folder) {
  // Without a folder the name would be resolved against the current folder
  // and the search path, which is exactly what naming the folder avoids.
  if (folder[0] == '\0') return false;
  if (!JoinPath(programPath, sizeof programPath, folder, fileName, PlatformLeadByte)) return false;
  HINSTANCE result = ShellExecuteA(nullptr, nullptr, programPath, parameters, folder, SW_SHOW);
  return reinterpret_cast<INT_PTR>(result) > 32;
}
