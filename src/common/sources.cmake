# Win32 glue shared by the subsystems (the pure text helpers are the
# qv_common library, built for the host too).
list(APPEND QV_WIN32_SOURCES common/code_page.cpp common/log_file.cpp)
