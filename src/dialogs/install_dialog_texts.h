// What the install dialog says and allows, decided from the installed state
// alone, and the rule that turns a browsed folder into a destination.
// Pure: no Windows header, so both build natively and are unit-tested.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

// Caption of the dialog and text of its heading line.
#define INSTALL_DIALOG_HEADING "Install Quavertone VERSION 10.0"
#define CANCEL_BUTTON_TEXT "&C a n c e l"
#define INSTALL_BUTTON_TEXT "&I n s t a l l"
#define UPDATE_BUTTON_TEXT "&U p d a t e"
#define INSTALL_STATUS_TEXT "This will install Quavertone into your PC in the specified folder."
#define UPDATE_STATUS_TEXT "This will update your current version of Quavertone."
#define NEWER_STATUS_TEXT                                                                        \
  "A newer version of Quavertone is already installed. If you do not wish to replace your newer " \
  "version with this older one, click Cancel."
#define PRODUCT_RUNNING_TEXT \
  "Installation has detected that Quavertone is currently running. Please close Quavertone before installing."
#define BROWSE_TITLE "Destination Directory:"

struct InstallDialogWording {
  const char* status;   // the status message under the heading
  const char* confirm;  // caption of the confirm button
  bool folderLocked;    // edit field read-only and browse button disabled
};

// The wording from the version class of the installed state; the folder is
// locked where the stored folder is fixed (StoredFolderRole): an earlier
// installation of another release keeps its folder, since installing
// elsewhere would leave its files and records behind.
InstallDialogWording InstallDialogTexts(bool installed, uint32_t previousVersion, const char* previousFolder);

// The folder browser answers the folder the user picked; the product goes
// into a folder of its own name inside it.  path holds the browsed folder in
// a buffer of capacity bytes; on success it holds the folder, "\" unless
// it already ends in one, and "Quavertone".  The result must also fit the
// destination buffer (at most 255 characters): a longer one would be cut
// when the user confirms and name another folder.  False, with path
// unchanged, for an empty path or a result that does not fit.
bool DestinationFromBrowsedPath(char* path, size_t capacity, LeadBytePredicate isLeadByte);
