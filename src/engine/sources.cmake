# Pure sources (no Windows header: also built natively for the unit tests)
# go to QV_PURE_SOURCES, the Win32 glue to QV_WIN32_SOURCES; paths relative
# to src/.
list(APPEND QV_WIN32_SOURCES engine/shortcuts.cpp)
list(APPEND QV_WIN32_SOURCES engine/expand_file.cpp engine/payload.cpp)
list(APPEND QV_PURE_SOURCES engine/file_table.cpp)
list(APPEND QV_WIN32_SOURCES engine/install_sequence.cpp)
list(APPEND QV_PURE_SOURCES engine/install_journal.cpp)
