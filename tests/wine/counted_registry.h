// Included ahead of the registry helpers by the registry test only: their six advapi32
// calls go to the test's counting wrappers, which call the real functions.
#pragma once

#include <windows.h>

decltype(RegCreateKeyExA) CountedCreateKey;
decltype(RegOpenKeyExA) CountedOpenKey;
decltype(RegSetValueExA) CountedSetValue;
decltype(RegQueryValueExA) CountedQueryValue;
decltype(RegDeleteValueA) CountedDeleteValue;
decltype(RegCloseKey) CountedCloseKey;
#define RegCreateKeyExA CountedCreateKey
#define RegOpenKeyExA CountedOpenKey
#define RegSetValueExA CountedSetValue
#define RegQueryValueExA CountedQueryValue
#define RegDeleteValueA CountedDeleteValue
#define RegCloseKey CountedCloseKey
