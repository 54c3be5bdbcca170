# Writes OUTPUT, a C++ file holding the bytes of every INPUT_DIR/*.json under its file name.
file(GLOB tables "${INPUT_DIR}/*.json")
list(SORT tables)
set(arrays "")
set(entries "")
set(index 0)
foreach(table IN LISTS tables)
  get_filename_component(name "${table}" NAME_WE)
  file(READ "${table}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # A terminating zero keeps an empty file a valid array.
  string(APPEND arrays "const unsigned char kTable${index}[] = {${bytes}0x00};\n")
  string(APPEND entries "    {\"${name}\", kTable${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
if(index EQUAL 0)
  message(FATAL_ERROR "no string tables in ${INPUT_DIR}")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from resources/strings/ by resources/EmbedStringTables.cmake; do not edit.
#include \"Utility/EmbeddedStringTables.h\"

namespace {
${arrays}}  // namespace

const EmbeddedStringTable kEmbeddedStringTables[] = {
${entries}};
const std::size_t kEmbeddedStringTableCount = ${index};
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
