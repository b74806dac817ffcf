# Dialogs: frame and message boxes, install dialog, CD-ROM menu, progress window.
list(APPEND QV_PURE_SOURCES
  dialogs/dialog_frame_table.cpp
  dialogs/install_dialog_texts.cpp
  dialogs/cdrom_menu_choice.cpp
  dialogs/progress_state.cpp
)
list(APPEND QV_WIN32_SOURCES
  dialogs/dialog_frame.cpp
  dialogs/install_dialog.cpp
  dialogs/cdrom_menu.cpp
  dialogs/progress_window.cpp
)
