// Message boxes, fatal errors and modal dialogs: every exchange with the user.
#pragma once

#include <cstdint>

#include "common/win_types.h"
#include "dialogs/dialog_frame_table.h"

#define FATAL_ERROR_CAPTION "Installation Error"
#define QUESTION_CAPTION "Install Quavertone"

// Loads the product logo (bitmap IDB_LOGO) into the dialog's picture
// control.  A logo that cannot be loaded leaves the picture empty; the
// dialog works as usual.
void ShowLogo(HWND dialog, int pictureId);

// Shows message in an error box, then ends the process with exit code 0;
// an unattended run ends with EXIT_FAILED, showing nothing.
[[noreturn]] void FatalError(const char* message);

// Ends the process: with unattendedCode in an unattended run, with 0 when a
// person is at the screen.
[[noreturn]] void EndRun(uint32_t unattendedCode);

// The fatal errors that more than one place reports.
#define GENERAL_FAILURE_TEXT "ERROR: General Failure!"
#define RESOURCE_FAILURE_TEXT "ERROR: Could not find/load resource."
#define CREATE_FAILURE_TEXT "ERROR: Could not create file."
#define WRITE_FAILURE_TEXT "ERROR: Could not write to file."

// A message box with the installer's caption; answers the button pressed.
int AskUser(const char* text, UINT style, HWND owner);

// Runs one modal dialog through DialogFrame; answers its EndDialog value.
// A dialog that cannot be created ends the run with a fatal error.
INT_PTR ShowModalDialog(HWND parent, int templateId, UserDialogProc userProc);

// The dialog procedure handed to the platform for every modal dialog.
INT_PTR CALLBACK DialogFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
