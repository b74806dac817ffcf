#include "control/instance_mutex.h"

#include "product/installer_state.h"

const char* InstallerMutexName(uint32_t platform, uint32_t majorVersion) {
  return platform == PLATFORM_NT && majorVersion >= 5 ? "Global\\" INSTALLER_MUTEX_NAME : INSTALLER_MUTEX_NAME;
}
