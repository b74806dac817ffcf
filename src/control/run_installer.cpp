#include "control/run_installer.h"

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
  ExitProcess(0);
}

// Shows the install dialog until the user confirms a folder of the right
// form; the user cancelling ends the run.
void ConfirmDestination() {
  for (;;) {
    if (ShowModalDialog(nullptr, IDD_INSTALL, InstallDialogProc) == 0) ExitProcess(0);
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
  ExitProcess(0);
}

// Ends the run after an installation that did not complete and was undone:
// quietly when the user chose to abort, with the error box otherwise.
[[noreturn]] void EndUndone(InstallOutcome outcome) {
  if (outcome == InstallOutcome::ResourceFailed) FatalError(RESOURCE_FAILURE_TEXT);
  if (outcome == InstallOutcome::CreateFailed) FatalError(CREATE_FAILURE_TEXT);
  if (outcome == InstallOutcome::WriteFailed) FatalError(WRITE_FAILURE_TEXT);
  if (outcome == InstallOutcome::WindowFailed) FatalError(GENERAL_FAILURE_TEXT);
  EndRun(EXIT_FAILED);
}

// An unattended run ("/S"): no window at all; wherever a person would be
// asked, the answer that leaves the machine as it was; and an exit code that
// says what happened.  No CD-ROM menu, no legacy uninstaller, no questions:
// the sound effects and DirectX are declined, the closing message is not
// shown, and the programs an installation starts without asking are started.
[[noreturn]] void RunUnattended() {
  VersionClass versionClass = ClassifyInstalledVersion(Installer.installed, Installer.previousVersion);
  if (versionClass == VersionClass::Legacy || versionClass == VersionClass::Newer) EndRun(EXIT_RELEASE_IN_THE_WAY);
  // "/D=" that cannot be a destination, or names another folder than the
  // one an update must use (ChooseDefaultFolder kept that one).
  if (Installer.folderGiven && !IsSameFolder(Installer.givenFolder, Installer.destination, PlatformLeadByte))
    EndRun(EXIT_BAD_COMMAND_LINE);
  if (!IsValidDestinationForm(Installer.destination)) EndRun(EXIT_BAD_COMMAND_LINE);
  if (FindWindowA(PRODUCT_WINDOW_CLASS, nullptr) != nullptr) EndRun(EXIT_PRODUCT_RUNNING);
  InstallOutcome outcome = InstallProduct();
  if (outcome != InstallOutcome::Done) EndUndone(outcome);
  if (!Installer.installed) StartProgramInFolder(SOUND_PACK_PROGRAM, "/1", Installer.destination);
  EndRun(EXIT_INSTALLED);
}

}  // namespace

void RunInstaller(HINSTANCE instance, const char* commandTail) {
  StartInstaller(instance, commandTail);
  DetectInstalledProduct();
  ChooseDefaultFolder();
  if (Installer.silent) RunUnattended();

  // The CD's autorun while the product runs: the user is busy with it.
  if (Installer.autorun && FindWindowA(PRODUCT_WINDOW_CLASS, nullptr) != nullptr) ExitProcess(0);

  if (Installer.installed && Installer.autorun) RunCdRomMenu();

  if (!OfferLegacyUninstall()) ExitProcess(0);
  ConfirmDestination();
  InstallOutcome outcome = InstallProduct();
  if (outcome != InstallOutcome::Done) EndUndone(outcome);
  OfferSoundEffects();
  OfferDirectX();
  ReportSuccess();
  ExitProcess(0);
}
