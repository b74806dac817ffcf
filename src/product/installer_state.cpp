#include "product/installer_state.h"

InstallerState Installer;
