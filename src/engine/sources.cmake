# Pure sources (no Windows header: also built natively for the unit tests)
# go to QV_PURE_SOURCES, the Win32 glue to QV_WIN32_SOURCES; paths relative
# to src/.
