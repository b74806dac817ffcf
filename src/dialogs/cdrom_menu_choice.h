// Which action the CD-ROM menu reports when the user confirms.  Pure: the
// scan is built natively and unit-tested.
#pragma once

#include "common/win_types.h"

// The five choices, ids 4001 to 4005, in the order they are scanned.
constexpr int CDROM_FIRST_CHOICE = 4001;
constexpr int CDROM_CHOICES = 5;

// checkStates[i] is the BM_GETCHECK answer of choice CDROM_FIRST_CHOICE + i.
// Answers the id of the first choice in the checked state (1; an
// indeterminate 2 does not count), or IDCANCEL (2) when none is, so that
// confirming without a choice ends the run as Cancel does.
INT_PTR ChooseCdRomAction(const INT_PTR checkStates[CDROM_CHOICES]);
