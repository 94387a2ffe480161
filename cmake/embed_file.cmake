# Script mode: writes OUT with a byte array and a size for each file in FILES.
# The symbol is the file name with every non-alphanumeric character replaced by '_'.
set(text "// Generated at build time from assets/; do not edit.\n#include <cstddef>\n")
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  string(MAKE_C_IDENTIFIER "asset_${name}" symbol)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(APPEND text "extern const unsigned char ${symbol}[] = {${bytes}};\n")
  string(APPEND text "extern const std::size_t ${symbol}_size = ${size};\n")
endforeach()
file(WRITE "${OUT}" "${text}")
