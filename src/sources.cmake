# The installer's sources, subsystem by subsystem.  Included by the Windows
# build (src/CMakeLists.txt) and by the native unit tests, which build the
# pure part.
set(QV_PURE_SOURCES)
set(QV_WIN32_SOURCES)
foreach(sub common product control dialogs engine registry companions)
  include(${CMAKE_SOURCE_DIR}/src/${sub}/sources.cmake)
endforeach()
list(TRANSFORM QV_PURE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/)
list(TRANSFORM QV_WIN32_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/)
