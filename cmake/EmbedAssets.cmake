# Turns binary files into a C++ source with one byte array each, so the built-in
# images travel inside the executable.
function(embed_assets target_name)
  set(out_cpp "${CMAKE_CURRENT_BINARY_DIR}/${target_name}_data.cpp")
  set(script "${PROJECT_SOURCE_DIR}/cmake/embed_file.cmake")
  # A list would be split by the shell; pass the files joined by '|'.
  string(REPLACE ";" "|" files_arg "${ARGN}")
  add_custom_command(
    OUTPUT "${out_cpp}"
    COMMAND ${CMAKE_COMMAND} "-DOUT=${out_cpp}" "-DFILES=${files_arg}" -P ${script}
    DEPENDS ${ARGN} ${script}
    COMMENT "Embedding assets for ${target_name}"
    VERBATIM)
  add_library(${target_name} STATIC "${out_cpp}")
endfunction()
