// Numbers of the installer's resources, shared by the resource script and
// the code.
#pragma once

#define IDI_INSTALLER 100
#define IDB_LOGO 200
#define IDD_INSTALL 1000
#define IDD_PROGRESS 3000
#define IDD_CDROM_MENU 4000

// Controls of the install dialog (template 1000).
#define IDC_HEADING 1001
#define IDC_STATUS 1002
#define IDC_DESTINATION 1003
#define IDC_BROWSE 1004
#define IDC_REQUIRE_WINDOWS 1005
#define IDC_REQUIRE_DISK 1006
#define IDC_REQUIRE_MEMORY 1007
#define IDC_INSTALL_LOGO 1010

// Controls of the progress window (template 3000).  3001 names the status
// line that UpdateProgress writes to; the template has none (see
// progress_window.cpp).
#define IDC_PROGRESS_STATUS 3001
#define IDC_PROGRESS_BAR 3002

// Choices of the CD-ROM menu (template 4000), in the order they are scanned.
#define IDC_RUN_PRODUCT 4001
#define IDC_RUN_SETUP 4002
#define IDC_RUN_DIRECTX 4003
#define IDC_SOUND_FX 4004
#define IDC_EXPLORE_CD 4005
#define IDC_MENU_LOGO 4006
