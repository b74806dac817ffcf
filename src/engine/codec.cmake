# SZDD codec: pure code, built for the host (tool, tests, benchmarks) and for
# both Windows targets (the installer expands its payloads with it).
add_library(qv_codec STATIC
  ${CMAKE_SOURCE_DIR}/src/engine/szdd_decoder.cpp
  ${CMAKE_SOURCE_DIR}/src/engine/szdd_encoder.cpp)
target_include_directories(qv_codec PUBLIC ${CMAKE_SOURCE_DIR}/src)
