#include <gtest/gtest.h>

#include "dialogs/cdrom_menu_choice.h"

TEST(ChooseCdRomAction, ReportsTheFirstCheckedChoiceOrCancel) {
  struct Row {
    INT_PTR states[5];
    INT_PTR expected;
  } rows[] = {
      {{1, 0, 0, 0, 0}, 4001},
      {{0, 0, 0, 1, 0}, 4004},
      {{0, 0, 0, 0, 1}, 4005},
      {{0, 0, 0, 0, 0}, 2},       // nothing selected: as Cancel
      {{0, 1, 0, 1, 1}, 4002},    // several: the lowest id
      {{1, 1, 1, 1, 1}, 4001},
      {{2, 0, 2, 0, 0}, 2},       // indeterminate is not checked
      {{2, 0, 1, 0, 0}, 4003},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseCdRomAction(row.states), row.expected)
        << row.states[0] << row.states[1] << row.states[2] << row.states[3] << row.states[4];
  }
}
