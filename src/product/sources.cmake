# The bottom of the installer: the process-wide record of one run, the
# product's fixed names and numbers, and what an earlier release means.
# Pure: every subsystem includes it, and it includes only common/.
list(APPEND QV_PURE_SOURCES product/installed_state_rules.cpp)
