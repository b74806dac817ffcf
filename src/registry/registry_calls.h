// The six advapi32 calls that the registry helpers make, reached through one
// process-wide table.  It holds the platform's own functions; a test program
// may put wrappers in their place (for example to count opened and closed
// keys) that call through to the saved originals.
#pragma once

#include <windows.h>

struct RegistryCalls {
  decltype(&RegCreateKeyExA) createKey;
  decltype(&RegOpenKeyExA) openKey;
  decltype(&RegSetValueExA) setValue;
  decltype(&RegQueryValueExA) queryValue;
  decltype(&RegDeleteValueA) deleteValue;
  decltype(&RegCloseKey) closeKey;
};

extern RegistryCalls Registry;
