# Pure sources (no Windows header: also built natively for the unit tests)
# go to QV_PURE_SOURCES, the Win32 glue to QV_WIN32_SOURCES; paths relative
# to src/.
# Registry access: the value-path rule, the five helpers, the product records.
list(APPEND QV_PURE_SOURCES registry/value_path.cpp)
list(APPEND QV_WIN32_SOURCES registry/registry_helpers.cpp)
