# Companion programs on the product CD-ROM.
list(APPEND QV_PURE_SOURCES companions/source_drive.cpp)
list(APPEND QV_WIN32_SOURCES companions/companions.cpp)
