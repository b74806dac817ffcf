# Installer control: start-up, installed state, starting programs by full
# path, and the main routine.
list(APPEND QV_PURE_SOURCES control/command_tail.cpp control/instance_mutex.cpp)
list(APPEND QV_WIN32_SOURCES
  control/start_up.cpp
  control/dll_search.cpp
  control/run_installer.cpp
  control/installed_state.cpp
  control/start_program.cpp
)
