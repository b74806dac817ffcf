// Stand-in for the product's CD audio extraction library: a real DLL with the
// shape of one (exported entry points, a table of drive speeds), so that the
// installer carries and expands a genuine PE file.
#include <windows.h>

namespace {

const unsigned kReadSpeeds[] = {1, 2, 4, 6, 8, 10, 12, 16, 20, 24, 32, 40, 48, 52};

}  // namespace

extern "C" __declspec(dllexport) int GetNumAdapters() { return 0; }

extern "C" __declspec(dllexport) unsigned GetReadSpeed(unsigned index) {
  return index < sizeof kReadSpeeds / sizeof kReadSpeeds[0] ? kReadSpeeds[index] : 0;
}

extern "C" __declspec(dllexport) int ReadCDAudioLBA(unsigned, unsigned, void*) { return 0; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
