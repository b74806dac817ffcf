// What the whole-installer tests need around the driver: a clean slate
// between cases, an earlier installation put in place, the records of what
// was started, and checks of what an installation leaves behind.
#pragma once

#include <string>

#include "driver.h"

#define INSTALL_DIALOG_CAPTION "Install Quavertone VERSION 10.0"
#define CDROM_MENU_CAPTION "Quavertone --- CD-ROM"
#define QUESTION_CAPTION "Install Quavertone"
#define DEFAULT_DESTINATION "C:\\Program Files\\Quavertone"

// Removes every trace of an installation (records, uninstall entry,
// shortcuts, the default and test folders, Windows-version overrides) and
// points QV_STANDIN_LOG at a fresh log.
void ResetInstallation();
// Records an earlier installation of version in folder (the folder is made,
// with the stand-in programs that an earlier installation would hold).
void PutEarlierInstallation(const std::string& folder, unsigned version);
// Runs setup.exe under Windows 98 (true) or the NT default (false).
void UseWindows98(bool win98);

// Starts the CD's setup.exe as E:\setup.exe with the given switches, in
// folder E:\ as the CD's autorun would; or a hard-disk copy at C:\temp.
Program StartSetupFromCdRom(const std::string& switches = "");
Program StartSetupFromHardDisk(const std::string& switches = "");

// Everything the stand-ins recorded since the last reset, as written.
std::string StandinLogText();
// Lines the stand-ins recorded: every line mentioning name.
std::string Started(const std::string& name);
// Waits until a stand-in called name has recorded a start.
bool WaitForStart(const std::string& name, DWORD timeoutMs = kDefaultTimeoutMs);

// Waits for a message box captioned caption and answers it with button;
// answers the text it showed ("" when none came).
std::string AnswerBox(const Program& program, const std::string& caption, int button);

// How many processes of that program name run now (a folder opened
// through the shell shows as one more "explorer.exe").
int CountProcesses(const char* exeName);

// The files an installation leaves in folder are the payloads' originals.
bool InstalledFilesIntact(const std::string& folder, std::string* why);
bool AnyInstalledFile(const std::string& folder);
// Writes a value (creating the key) with exactly these bytes.
bool PutValue(HKEY root, const std::string& key, const std::string& value, DWORD type, const std::string& bytes);
// A text as REG_SZ stores it: with its terminator.
std::string SzBytes(const std::string& text);
// Registry values of the product's key and the uninstall entry.
bool ReadValue(HKEY root, const std::string& key, const std::string& value, std::string* data, DWORD* type = nullptr);
std::string SpecialFolderPath(int csidl);
