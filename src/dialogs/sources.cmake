# Dialogs: frame and message boxes, install dialog, CD-ROM menu, progress window.
list(APPEND QV_PURE_SOURCES dialogs/dialog_frame_table.cpp)
list(APPEND QV_WIN32_SOURCES dialogs/dialog_frame.cpp)
