#include "engine/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "common/log_file.h"
#include "common/unique_any.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"
#include "engine/file_table.h"

namespace {

// The shell link's class and the two interfaces used, given here: the import
// libraries' copies come in objects that carry hundreds of other ids.
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

char shortcutFile[SHORTCUT_PATH_SIZE];
char shortcutTarget[SHORTCUT_PATH_SIZE];

// Only S_OK counts: S_FALSE and other success codes are failures here.
bool Succeeded(HRESULT result) { return result == S_OK; }

}  // namespace

int CreateShortcut(const char* targetPath, const char* shortcutPath, const char* description,
                   const char* workingFolder) {
  // COM for this thread around one shortcut; a failed CoInitialize is
  // not undone, and CoCreateInstance then fails on its own.
  ComInitialised com(SUCCEEDED(CoInitialize(nullptr)));
  ComOwner<IShellLinkA> link;
  if (!Succeeded(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                  reinterpret_cast<void**>(link.out()))))
    return 0;
  if (!Succeeded(link->SetPath(targetPath))) return 0;
  if (!Succeeded(link->SetWorkingDirectory(workingFolder))) return 0;
  if (!Succeeded(link->SetDescription(description))) return 0;
  ComOwner<IPersistFile> file;
  if (!Succeeded(link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(file.out())))) return 0;
  WCHAR widePath[SHORTCUT_PATH_SIZE];
  if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath, SHORTCUT_PATH_SIZE) == 0) return 0;
  // fRemember = 2: the interface reads any non-zero value as true.
  if (!Succeeded(file->Save(widePath, 2))) return 0;
  return 1;
}

bool AddProductShortcut(int csidl) {
  ItemListOwner items;
  bool made = false;
  bool located = SHGetSpecialFolderLocation(nullptr, csidl, items.out()) == S_OK &&
                 SHGetPathFromIDListA(items.get(), shortcutFile) == 1;
  if (located && AppendShortcutFileName(shortcutFile, sizeof shortcutFile, PlatformLeadByte) &&
      ComposeShortcutTarget(shortcutTarget, sizeof shortcutTarget, Installer.destination, PlatformLeadByte)) {
    made = CreateShortcut(shortcutTarget, shortcutFile, SHORTCUT_DESCRIPTION, Installer.destination) == 1;
  }
  Log(made ? "written shortcut" : "NOT written shortcut", shortcutFile);
  // An unattended run shows nothing: its exit code tells.
  if (!made && !Installer.silent) AskUser("NOTE: Could not add shortcut to start menu/desktop.", MB_ICONINFORMATION, nullptr);
  return made;
}
