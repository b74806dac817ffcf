# Installer control: start-up, installed state, the main routine.
list(APPEND QV_PURE_SOURCES control/command_tail.cpp)
list(APPEND QV_WIN32_SOURCES
  control/installer_state.cpp
  control/start_up.cpp
  control/run_installer.cpp
)
# Installed state, proposed folder, and starting programs by full path.
list(APPEND QV_PURE_SOURCES control/installed_state_rules.cpp)
list(APPEND QV_WIN32_SOURCES
  control/installed_state.cpp
  control/start_program.cpp
)
