# The product CD: setup.exe, the autorun file that starts it with
# "/autorun", the DirectX setup, the encoder and the sound-effect packs
# folder; and an ISO 9660 image of it with Joliet names.
function(qv_product_cd dir iso)
  set(standins ${CMAKE_BINARY_DIR}/tools/standins)
  set(commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/directx ${dir}/SoundFX
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:setup> ${dir}/setup.exe
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/autorun.inf ${dir}/autorun.inf
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:standin_dxsetup> ${dir}/directx/dxsetup.exe
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:standin_bladeenc> ${dir}/bladeenc.exe
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/SoundFX.txt ${dir}/SoundFX/readme.txt)
  if(iso)
    # Fixed volume dates and ids so that the image is the same on every build.
    list(APPEND commands
      COMMAND ${CMAKE_COMMAND} -E rm -f ${iso}
      COMMAND xorriso -no_rc -report_about SORRY -outdev ${iso} -joliet on -volid QUAVERTONE_10
        -volume_date all_file_dates 2000010100000000 -volume_date uuid 2000010100000000
        -volume_date c 2000010100000000 -volume_date m 2000010100000000
        -map ${dir} / -commit)
  endif()
  add_custom_target(qv_cd ALL ${commands}
    DEPENDS setup standin_dxsetup standin_bladeenc
    COMMENT "Assembling the product CD" VERBATIM)
endfunction()
