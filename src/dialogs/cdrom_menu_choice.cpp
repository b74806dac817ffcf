#include "dialogs/cdrom_menu_choice.h"

namespace {

constexpr INT_PTR CHECKED = 1;

}  // namespace

INT_PTR ChooseCdRomAction(const INT_PTR checkStates[CDROM_CHOICES]) {
  for (int i = 0; i < CDROM_CHOICES; ++i) {
    if (checkStates[i] == CHECKED) return CDROM_FIRST_CHOICE + i;
  }
  return CDROM_CANCELLED;
}
