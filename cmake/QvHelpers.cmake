# Sanitizers for native test programs (unit tests only; benchmarks stay plain).
function(qv_sanitize target)
  if(NOT QV_WINDOWS AND QV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
