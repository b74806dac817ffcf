#include "control/run_installer.h"

#include "common/log_file.h"
#include "common/log_text.h"
#include "companions/companions.h"
#include "control/installed_state.h"
#include "product/installer_state.h"
#include "control/start_program.h"
#include "control/start_up.h"
#include "dialogs/cdrom_menu.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/install_dialog.h"
#include "engine/install_sequence.h"
#include "product/installed_state_rules.h"
#include "resource_ids.h"

namespace {

// Every road of a run with a person at the screen ends with 0.
[[noreturn]] void EndAttended(const char* why) {
  Log(why);
  EndRun(EXIT_INSTALLED);
}

// The CD-ROM menu, shown when the CD's autorun starts the installer over an
// existing installation.  Returns only when the user chose to run the
// installation again; every other choice is carried out and ends the run.
void RunCdRomMenu() {
  INT_PTR choice = ShowModalDialog(nullptr, IDD_CDROM_MENU, CdRomMenuProc);
  switch (choice) {
    case IDC_RUN_PRODUCT:
      StartProgramInFolder(PRODUCT_PROGRAM, nullptr, Installer.previousFolder);
      break;
    case IDC_RUN_SETUP:
      return;
    case IDC_RUN_DIRECTX:
      RunDirectXSetup();
      break;
    case IDC_SOUND_FX:
      OpenSoundFxFolder();
      break;
    case IDC_EXPLORE_CD:
      ExploreCdRom();
      break;
    default:  // cancelled or closed
      break;
  }
  EndAttended("CD-ROM menu closed");
}

// Shows the install dialog until the user confirms a folder of the right
// form; the user cancelling ends the run.
void ConfirmDestination() {
  for (;;) {
    if (ShowModalDialog(nullptr, IDD_INSTALL, InstallDialogProc) == 0) EndAttended("install dialog cancelled");
    if (ValidateDestination()) return;
  }
}

// A first installation installs its sound packs at once; over an earlier
// one the user is asked, and from the CD-ROM gets the packs folder instead.
void OfferSoundEffects() {
  if (!Installer.installed) {
    StartProgramInFolder(SOUND_PACK_PROGRAM, "/1", Installer.destination);
    return;
  }
  if (AskUser("Would you like to install sound effects?", MB_YESNO | MB_ICONQUESTION, nullptr) != IDYES) return;
  if (RunsFromCdRom()) {
    OpenSoundFxFolder();
  } else {
    StartProgramInFolder(SOUND_PACK_PROGRAM, nullptr, Installer.destination);
  }
}

// DirectX comes from the CD-ROM and only the 9x/ME family needs it set up.
// Starting it ends the run without the closing message.
void OfferDirectX() {
  if (!RunsFromCdRom() || Installer.platform == PLATFORM_NT) return;
  if (AskUser("Would you like to install Microsoft DirectX?", MB_YESNO | MB_ICONQUESTION, nullptr) != IDYES) return;
  RunDirectXSetup();
  EndAttended("installed");
}

// Ends the run after an installation that did not complete and was undone:
// quietly when the user chose to abort, with the error box otherwise; an
// unattended run says what a deployment tool can act on (retry later, make
// room) by its code.
[[noreturn]] void EndUndone(InstallOutcome outcome) {
  Log("the installation was undone");
  if (Installer.silent && outcome == InstallOutcome::InUse) EndRun(EXIT_IN_USE);
  if (Installer.silent && outcome == InstallOutcome::DiskFull) EndRun(EXIT_DISK_FULL);
  if (outcome == InstallOutcome::ResourceFailed) FatalError(RESOURCE_FAILURE_TEXT);
  if (outcome == InstallOutcome::CreateFailed || outcome == InstallOutcome::InUse) FatalError(CREATE_FAILURE_TEXT);
  if (outcome == InstallOutcome::WriteFailed || outcome == InstallOutcome::DiskFull) FatalError(WRITE_FAILURE_TEXT);
  if (outcome == InstallOutcome::WindowFailed) FatalError(GENERAL_FAILURE_TEXT);
  Log("aborted by the user");
  EndRun(EXIT_FAILED);
}


// An unattended run ("/S"): no window at all; wherever a person would be
// asked, the answer that leaves the machine as it was; and an exit code that
// says what happened.  No CD-ROM menu, no legacy uninstaller, no questions:
// the sound effects and DirectX are declined, the closing message is not
// shown, and the programs an installation starts without asking are started.
[[noreturn]] void RunUnattended() {
  VersionClass versionClass = ClassifyInstalledVersion(Installer.installed, Installer.previousVersion);
  if (versionClass == VersionClass::Legacy || versionClass == VersionClass::Newer) {
    Log(versionClass == VersionClass::Newer ? "a newer release is installed" : "a release to uninstall first is installed");
    EndRun(EXIT_RELEASE_IN_THE_WAY);
  }
  // "/D=" that cannot be a destination, or names another folder than the
  // one an update must use (ChooseDefaultFolder kept that one).
  if ((Installer.folderGiven && !IsSameFolder(Installer.givenFolder, Installer.destination, PlatformLeadByte)) ||
      !IsValidDestinationForm(Installer.destination)) {
    Log("refused destination", Installer.givenFolder);
    EndRun(EXIT_BAD_COMMAND_LINE);
  }
  if (FindWindowA(PRODUCT_WINDOW_CLASS, nullptr) != nullptr) {
    Log("the product is running");
    EndRun(EXIT_IN_USE);
  }
  InstallOutcome outcome = InstallProduct();
  if (outcome != InstallOutcome::Done && outcome != InstallOutcome::RecordsFailed) EndUndone(outcome);
  if (!Installer.installed) StartProgramInFolder(SOUND_PACK_PROGRAM, "/1", Installer.destination);
  Log(outcome == InstallOutcome::Done ? "installed" : "installed, records incomplete");
  EndRun(outcome == InstallOutcome::Done ? EXIT_INSTALLED : EXIT_FAILED);
}

}  // namespace

void RunInstaller(HINSTANCE instance, const char* commandTail) {
  StartInstaller(instance, commandTail);
  DetectInstalledProduct();
  ChooseDefaultFolder();
  char version[DECIMAL_SIZE];
  if (Installer.installed)
    Log("found release", DecimalText(version, Installer.previousVersion), "in", Installer.previousFolder);
  else
    Log("found no earlier installation");
  Log("proposed folder", Installer.destination);
  if (Installer.silent) RunUnattended();

  // The CD's autorun while the product runs: the user is busy with it.
  if (Installer.autorun && FindWindowA(PRODUCT_WINDOW_CLASS, nullptr) != nullptr) EndAttended("the product is running");

  if (Installer.installed && Installer.autorun) RunCdRomMenu();

  if (!OfferLegacyUninstall()) EndAttended("the legacy uninstaller was declined");
  ConfirmDestination();
  InstallOutcome outcome = InstallProduct();
  // A person at the screen has had a note for each shortcut missing; the
  // records are not examined for them.
  if (outcome != InstallOutcome::Done && outcome != InstallOutcome::RecordsFailed) EndUndone(outcome);
  OfferSoundEffects();
  OfferDirectX();
  ReportSuccess();
  EndAttended("installed");
}
