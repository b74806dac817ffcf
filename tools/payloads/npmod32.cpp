// Stand-in for the product's tracker-module playback library: a real DLL
// with its period and sine tables, as such a library carries.
#include <windows.h>

#include <cmath>

namespace {

// Amiga periods for five octaves, finetuned in 16 steps: the kind of table a
// module player is made of.
unsigned short periods[16][60];
short sine[4096];

void BuildTables() {
  for (int tune = 0; tune < 16; ++tune)
    for (int note = 0; note < 60; ++note)
      periods[tune][note] = static_cast<unsigned short>(
          3424.0 / std::pow(2.0, (note + (tune - 8) / 8.0) / 12.0));
  for (int i = 0; i < 4096; ++i) sine[i] = static_cast<short>(32767.0 * std::sin(i * 6.283185307179586 / 4096.0));
}

}  // namespace

extern "C" __declspec(dllexport) int ModPeriod(int tune, int note) {
  return (tune >= 0 && tune < 16 && note >= 0 && note < 60) ? periods[tune][note] : 0;
}

extern "C" __declspec(dllexport) int ModSine(int phase) { return sine[phase & 4095]; }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) BuildTables();
  return TRUE;
}
