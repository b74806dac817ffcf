// The whole installer, from start to exit code 0, driven as a person would.
#include <shlobj.h>

#include "harness/driver.h"
#include "harness/installation.h"
#include "harness/wine_test.h"

namespace {

const char kInstallText[] = "This will install Quavertone into your PC in the specified folder.";
const char kUpdateText[] = "This will update your current version of Quavertone.";
const char kNewerText[] =
    "A newer version of Quavertone is already installed. If you do not wish to replace your newer version with this "
    "older one, click Cancel.";
const char kInstalledMessage[] = "Quavertone has been successfully installed!\r\nWould you like to go Quavertone now?";
const char kUpdatedMessage[] = "Quavertone has been successfully updated!\r\nWould you like to go Quavertone now?";
const char kSoundQuestion[] = "Would you like to install sound effects?";
const char kDirectXQuestion[] = "Would you like to install Microsoft DirectX?";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone";

// Waits for the install dialog and presses its confirm button; answers the
// dialog so that callers can check what it showed first.
HWND WaitForInstallDialog(const Program& setup) {
  HWND dialog = WaitForWindow(INSTALL_DIALOG_CAPTION, setup.id);
  if (dialog) WaitUntil([&] { return ControlText(dialog, 1002).find("Quavertone") != std::string::npos; });
  return dialog;
}

void Confirm(HWND dialog) {
  Click(dialog, IDOK);
  WaitForWindowGone(dialog, 60000);
}

std::string Describe(HWND window) { return window ? DescribeDialog(window) : std::string("(no window)"); }

// Waits for a message box of the installer, checks its text, answers it.
void ExpectQuestion(const Program& setup, const char* text, int button) {
  HWND box = WaitForWindow(QUESTION_CAPTION, setup.id, 60000);
  if (!ok(box != nullptr, "no box \"%s\"", text)) return;
  ok(MessageBoxText(box) == text, "box text \"%s\", expected \"%s\"", MessageBoxText(box).c_str(), text);
  AnswerMessageBox(box, button);
  WaitForWindowGone(box);
}

void ExpectEnd(Program& setup) {
  long code = WaitForExit(setup, 60000);
  ok(code == 0, "setup exit code %ld", code);
}

void CheckInstalledIn(const std::string& folder) {
  std::string why;
  ok(InstalledFilesIntact(folder, &why), "files in %s: %s", folder.c_str(), why.c_str());
  std::string data;
  ok(ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory", &data) &&
         data == folder + std::string(1, '\0'),
     "ProgramDirectory \"%s\"", data.c_str());
  DWORD type = 0;
  ok(ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", &data, &type) &&
         data == std::string("\xE8\x03\x00\x00", 4) && type == REG_BINARY,
     "ProgramVersion: %zu bytes of type %lu", data.size(), type);
  ok(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &data) &&
         data == "\"" + folder + "\\Quavertone.exe\" /uninstall" + std::string(1, '\0'),
     "UninstallString \"%s\"", data.c_str());
  ok(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", &data) &&
         data == std::string("Quavertone VERSION 10.0") + '\0',
     "DisplayName \"%s\"", data.c_str());
  ok(FileExists(SpecialFolderPath(CSIDL_PROGRAMS) + "\\Quavertone.lnk"), "Programs shortcut");
  ok(FileExists(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quavertone.lnk"), "desktop shortcut");
}

// Confirms the install dialog with the folder it shows and checks the
// wording on the way.
void InstallThroughDialog(const Program& setup, const char* statusText, const char* confirmCaption, bool locked) {
  HWND dialog = WaitForInstallDialog(setup);
  if (!ok(dialog != nullptr, "install dialog did not appear")) return;
  ok(ControlText(dialog, 1002) == statusText, "status text:\n%s", Describe(dialog).c_str());
  ok(ControlText(dialog, IDOK) == confirmCaption, "confirm caption \"%s\"", ControlText(dialog, IDOK).c_str());
  ok(IsEditReadOnly(dialog, 1003) == locked && IsControlEnabled(dialog, 1004) == !locked, "folder lock %d", locked);
  Confirm(dialog);
}

}  // namespace

WINE_TEST(a_first_installation_from_the_cdrom) {
  ResetInstallation();
  Program setup = StartSetupFromCdRom();
  HWND dialog = WaitForInstallDialog(setup);
  require(dialog != nullptr, "install dialog did not appear");
  ok(ControlText(dialog, 1002) == kInstallText, "status text:\n%s", Describe(dialog).c_str());
  ok(ControlText(dialog, IDOK) == "&I n s t a l l", "confirm caption \"%s\"", ControlText(dialog, IDOK).c_str());
  ok(ControlText(dialog, 1003) == DEFAULT_DESTINATION, "proposed folder \"%s\"", ControlText(dialog, 1003).c_str());
  ok(!IsEditReadOnly(dialog, 1003) && IsControlEnabled(dialog, 1004), "folder open");
  Confirm(dialog);

  // No question about sound effects or DirectX: the closing message next.
  HWND box = WaitForWindow(QUESTION_CAPTION, setup.id, 60000);
  require(box != nullptr, "no closing message");
  ok(MessageBoxText(box) == kInstalledMessage, "closing text \"%s\"", MessageBoxText(box).c_str());
  ok(WaitForStart("tonekit.exe"), "tonekit.exe was not started");
  ok(Started("tonekit.exe") == "name=tonekit.exe|path=" DEFAULT_DESTINATION "\\tonekit.exe|args=/1|cwd=" DEFAULT_DESTINATION "\n",
     "tonekit start: %s", Started("tonekit.exe").c_str());
  ok(WaitForStart("bladeenc.exe") && Started("bladeenc.exe").find("path=E:\\bladeenc.exe|args=/s|cwd=E:\\") != std::string::npos,
     "encoder start: %s", Started("bladeenc.exe").c_str());
  ok(Started("dxsetup.exe").empty(), "DirectX started on the NT family");
  CheckInstalledIn(DEFAULT_DESTINATION);
  ok(Started("Quavertone.exe").empty(), "product started before the answer");
  AnswerMessageBox(box, IDYES);
  ok(WaitForStart("Quavertone.exe"), "product not started after Yes");
  ok(Started("Quavertone.exe").find("path=" DEFAULT_DESTINATION "\\Quavertone.exe|args=|cwd=" DEFAULT_DESTINATION) !=
         std::string::npos,
     "product start: %s", Started("Quavertone.exe").c_str());
  ExpectEnd(setup);
}

WINE_TEST(autorun_without_an_installation_goes_straight_to_the_install_dialog) {
  ResetInstallation();
  Program setup = StartSetupFromCdRom("/autorun");
  HWND dialog = WaitForInstallDialog(setup);
  ok(dialog != nullptr, "install dialog did not appear");
  ok(FindWindowsByCaption(CDROM_MENU_CAPTION).empty(), "CD-ROM menu shown without an installation");
  if (dialog) Click(dialog, IDCANCEL);
  ExpectEnd(setup);
  ok(!AnyInstalledFile(DEFAULT_DESTINATION), "files installed after Cancel");
}

WINE_TEST(autorun_while_the_product_runs_ends_at_once) {
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Earlier", 1000);
  Program product = StartProgram("C:\\qvtest\\Earlier\\Quavertone.exe", "Quavertone.exe", "C:\\qvtest\\Earlier");
  require(WaitUntil([] { return FindWindowA("Quavertone", nullptr) != nullptr; }), "product window did not appear");
  Program setup = StartSetupFromCdRom("/autorun");
  long code = WaitForExit(setup, 15000);
  ok(code == 0, "exit code %ld", code);
  ok(FindWindowsByCaption(CDROM_MENU_CAPTION).empty() && FindWindowsByCaption(INSTALL_DIALOG_CAPTION).empty(),
     "a window was shown");
  KillProgram(product);
}

WINE_TEST(cdrom_menu_choices) {
  struct {
    int choice;
    const char* standin;   // what the choice starts, if a stand-in shows it
    const char* expected;  // part of the stand-in's record
  } cases[] = {
      {4001, "Quavertone.exe", "path=C:\\qvtest\\Earlier\\Quavertone.exe|args=|cwd=C:\\qvtest\\Earlier"},
      {4003, "dxsetup.exe", "path=E:\\directx\\dxsetup.exe|args=|cwd=E:\\directx"},
      {4004, nullptr, nullptr},
      {4005, nullptr, nullptr},
      {IDCANCEL, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    ResetInstallation();
    PutEarlierInstallation("C:\\qvtest\\Earlier", 1000);
    Program setup = StartSetupFromCdRom("/autorun");
    HWND menu = WaitForWindow(CDROM_MENU_CAPTION, setup.id);
    if (!ok(menu != nullptr, "choice %d: no CD-ROM menu", c.choice)) {
      KillProgram(setup);
      continue;
    }
    ok(IsChecked(menu, 4001), "first choice selected at start");
    int explorers = CountProcesses("explorer.exe");
    if (c.choice != IDCANCEL && c.choice != 4001) {
      Click(menu, c.choice);
      WaitUntil([&] { return IsChecked(menu, c.choice); });
    }
    Click(menu, c.choice == IDCANCEL ? IDCANCEL : IDOK);
    ExpectEnd(setup);
    if (c.standin) {
      ok(WaitForStart(c.standin), "choice %d: %s not started", c.choice, c.standin);
      ok(Started(c.standin).find(c.expected) != std::string::npos, "choice %d: %s", c.choice,
         Started(c.standin).c_str());
    }
    if (c.choice == 4004 || c.choice == 4005) {
      ok(WaitUntil([&] { return CountProcesses("explorer.exe") > explorers; }), "choice %d opened no folder window",
         c.choice);
    }
    ok(FindWindowsByCaption(INSTALL_DIALOG_CAPTION).empty(), "choice %d led to the install dialog", c.choice);
    ok(Started("bladeenc.exe").empty(), "choice %d installed", c.choice);
  }
}

WINE_TEST(cdrom_menu_setup_runs_the_whole_flow_with_the_legacy_offer) {
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Legacy", 301);
  Program setup = StartSetupFromCdRom("/autorun");
  HWND menu = WaitForWindow(CDROM_MENU_CAPTION, setup.id);
  require(menu != nullptr, "no CD-ROM menu");
  Click(menu, 4002);
  WaitUntil([&] { return IsChecked(menu, 4002); });
  Click(menu, IDOK);
  ExpectQuestion(setup, "Previous version of Quavertone must be uninstalled first. Press OK to continue.", IDOK);
  ok(WaitForStart("uninstall.exe") &&
         Started("uninstall.exe").find("path=C:\\qvtest\\Legacy\\uninstall.exe|args=|cwd=C:\\qvtest\\Legacy") !=
             std::string::npos,
     "legacy uninstaller: %s", Started("uninstall.exe").c_str());
  InstallThroughDialog(setup, kUpdateText, "&U p d a t e", true);
  ExpectQuestion(setup, kSoundQuestion, IDNO);
  ExpectQuestion(setup, kUpdatedMessage, IDNO);
  ExpectEnd(setup);
  CheckInstalledIn("C:\\qvtest\\Legacy");
  ok(Started("tonekit.exe").empty(), "tonekit started after No: %s", Started("tonekit.exe").c_str());
}

WINE_TEST(legacy_offer_cancelled_ends_without_installing) {
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Legacy", 301);
  Program setup = StartSetupFromCdRom();
  ExpectQuestion(setup, "Previous version of Quavertone must be uninstalled first. Press OK to continue.", IDCANCEL);
  ExpectEnd(setup);
  ok(Started("uninstall.exe").empty(), "uninstaller started after Cancel");
  std::string data;
  ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", &data);
  ok(data == std::string("\x2D\x01\x00\x00", 4), "version changed");
}

WINE_TEST(update_and_newer_version_wordings_and_closing_messages) {
  struct {
    unsigned version;
    const char* text;
    const char* caption;
    const char* closing;
  } cases[] = {
      {999, kUpdateText, "&U p d a t e", kUpdatedMessage},
      {1200, kNewerText, "&I n s t a l l", kInstalledMessage},
      {1000, kInstallText, "&I n s t a l l", kInstalledMessage},
  };
  for (const auto& c : cases) {
    ResetInstallation();
    PutEarlierInstallation("C:\\qvtest\\Earlier", c.version);
    Program setup = StartSetupFromHardDisk();
    InstallThroughDialog(setup, c.text, c.caption, c.version != 1000);
    ExpectQuestion(setup, kSoundQuestion, IDNO);
    ExpectQuestion(setup, c.closing, IDNO);
    ExpectEnd(setup);
    CheckInstalledIn("C:\\qvtest\\Earlier");
    ok(Started("Quavertone.exe").empty(), "version %u: product started after No", c.version);
  }
}

WINE_TEST(sound_effects_on_a_reinstallation) {
  // Off the CD-ROM, Yes starts the pack program without parameters.
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Earlier", 1000);
  Program setup = StartSetupFromHardDisk();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  ExpectQuestion(setup, kSoundQuestion, IDYES);
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  ok(WaitForStart("tonekit.exe") && Started("tonekit.exe") ==
                                        "name=tonekit.exe|path=C:\\qvtest\\Earlier\\tonekit.exe|args=|cwd=C:\\qvtest\\Earlier\n",
     "tonekit: %s", Started("tonekit.exe").c_str());
  ok(Started("bladeenc.exe").empty(), "encoder found off the CD-ROM");

  // From the CD-ROM, Yes opens the SoundFX folder instead.
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Earlier", 1000);
  setup = StartSetupFromCdRom();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  int explorers = CountProcesses("explorer.exe");
  ExpectQuestion(setup, kSoundQuestion, IDYES);
  ok(WaitUntil([&] { return CountProcesses("explorer.exe") > explorers; }), "no SoundFX folder window opened");
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  ok(Started("tonekit.exe").empty(), "tonekit started from the CD-ROM: %s", Started("tonekit.exe").c_str());

  // No: nothing at all.
  ResetInstallation();
  PutEarlierInstallation("C:\\qvtest\\Earlier", 1000);
  setup = StartSetupFromCdRom();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  explorers = CountProcesses("explorer.exe");
  ExpectQuestion(setup, kSoundQuestion, IDNO);
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  ok(Started("tonekit.exe").empty() && CountProcesses("explorer.exe") == explorers, "No still started something");
}

WINE_TEST(directx_is_offered_only_from_the_cdrom_on_the_9x_family) {
  // Windows 98 from the CD-ROM: asked; Yes runs it and no closing message.
  ResetInstallation();
  UseWindows98(true);
  Program setup = StartSetupFromCdRom();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  ExpectQuestion(setup, kDirectXQuestion, IDYES);
  ExpectEnd(setup);
  ok(WaitForStart("dxsetup.exe"), "DirectX setup not started");
  ok(FindWindowsByCaption(QUESTION_CAPTION).empty(), "closing message after DirectX");

  // Windows 98 from the CD-ROM, No: the closing message follows.
  ResetInstallation();
  UseWindows98(true);
  setup = StartSetupFromCdRom();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  ExpectQuestion(setup, kDirectXQuestion, IDNO);
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  ok(Started("dxsetup.exe").empty(), "DirectX started after No");

  // Windows 98 off the CD-ROM: never asked.
  ResetInstallation();
  UseWindows98(true);
  setup = StartSetupFromHardDisk();
  InstallThroughDialog(setup, kInstallText, "&I n s t a l l", false);
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  UseWindows98(false);
}

WINE_TEST(a_rejected_folder_shows_the_dialog_again_and_cancel_ends) {
  ResetInstallation();
  Program setup = StartSetupFromCdRom();
  HWND dialog = WaitForInstallDialog(setup);
  require(dialog != nullptr, "install dialog did not appear");
  SetControlText(dialog, 1003, "C:");
  Confirm(dialog);
  ExpectQuestion(setup, "You must specify a valid destination drive and directory such as C:\\Quavertone", IDOK);
  dialog = WaitForInstallDialog(setup);
  require(dialog != nullptr, "install dialog not shown again");
  ok(ControlText(dialog, 1003) == "C:", "the rejected text is shown again: \"%s\"", ControlText(dialog, 1003).c_str());
  Click(dialog, IDCANCEL);
  ExpectEnd(setup);
  ok(!AnyInstalledFile(DEFAULT_DESTINATION), "installed after Cancel");
  std::string data;
  ok(!ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory", &data), "recorded after Cancel");
}

WINE_TEST(install_then_uninstall_through_the_registered_command) {
  ResetInstallation();
  const std::string folder = "C:\\qvtest\\With Blanks\\Quavertone";
  Program setup = StartSetupFromHardDisk();
  HWND dialog = WaitForInstallDialog(setup);
  require(dialog != nullptr, "install dialog did not appear");
  SetControlText(dialog, 1003, folder);
  Confirm(dialog);
  ExpectQuestion(setup, kInstalledMessage, IDNO);
  ExpectEnd(setup);
  CheckInstalledIn(folder);
  WriteFileText(folder + "\\my notes.txt", "the user's own file");
  PutValue(HKEY_CURRENT_USER, "Software\\Quavertone", "Theme", REG_SZ, SzBytes("dark"));

  std::string command;
  require(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &command), "no UninstallString");
  command.resize(command.size() - 1);
  Program remover = StartProgram(folder + "\\Quavertone.exe", command, "C:\\");
  std::string asked = AnswerBox(remover, "Quavertone", IDYES);
  ok(!asked.empty(), "no confirmation asked");
  // The removal runs from a copy that waits for this process; the uninstall
  // entry is the last thing it removes.
  std::string data;
  ok(WaitUntil([&] { return !ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", &data); }),
     "uninstall entry left");
  ok(!AnyInstalledFile(folder), "installed files still there");
  ok(!FileExists(SpecialFolderPath(CSIDL_PROGRAMS) + "\\Quavertone.lnk"), "Programs shortcut left");
  ok(!FileExists(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quavertone.lnk"), "desktop shortcut left");
  ok(!ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory", &data), "ProgramDirectory left");
  ok(!ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", &data), "ProgramVersion left");
  ok(ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "Theme", &data) && data == std::string("dark") + '\0',
     "the product's own setting was touched");
  ok(ReadFileText(folder + "\\my notes.txt") == "the user's own file", "the user's file was touched");
  WaitForExit(remover);
}
