#include "control/installer_state.h"

InstallerState Installer;
