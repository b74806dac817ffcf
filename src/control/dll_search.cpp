#include "control/dll_search.h"

DllSearchLimit ChooseDllSearchLimit(bool haveSetDefaultDllDirectories, bool haveSetDllDirectory) {
  if (haveSetDefaultDllDirectories) return DllSearchLimit::SystemFolderOnly;
  if (haveSetDllDirectory) return DllSearchLimit::WithoutCurrentFolder;
  return DllSearchLimit::Unchanged;
}
