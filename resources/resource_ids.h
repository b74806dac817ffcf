// Numbers of the installer's resources, shared by the resource script and
// the code.
#pragma once

#define IDI_INSTALLER 100
#define IDB_LOGO 200
#define IDD_INSTALL 1000
#define IDD_PROGRESS 3000
#define IDD_CDROM_MENU 4000
