// Which action the CD-ROM menu reports when the user confirms.  Pure: the
// scan is built natively and unit-tested.
#pragma once

#include "common/win_types.h"
#include "resource_ids.h"

// The five choices, IDC_RUN_PRODUCT to IDC_EXPLORE_CD, in the order they
// are scanned.
constexpr int CDROM_FIRST_CHOICE = IDC_RUN_PRODUCT;
constexpr int CDROM_CHOICES = 5;
// What the menu reports when nothing is chosen: IDCANCEL, as the close box.
constexpr INT_PTR CDROM_CANCELLED = 2;

// checkStates[i] is the BM_GETCHECK answer of choice CDROM_FIRST_CHOICE + i.
// Answers the id of the first choice in the checked state (1; an
// indeterminate 2 does not count), or IDCANCEL (2) when none is, so that
// confirming without a choice ends the run as Cancel does.
INT_PTR ChooseCdRomAction(const INT_PTR checkStates[CDROM_CHOICES]);
