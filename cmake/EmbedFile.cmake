# Writes a C++ source that holds the bytes of a file as a constant array:
#   cmake -DINPUT=<file> -DOUTPUT=<source> -DNAME=<variable> -P EmbedFile.cmake
# The source defines `const unsigned char <NAME>[]` and `const std::size_t <NAME>Size`.
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT} by EmbedFile.cmake.\n"
  "#include <cstddef>\n"
  "extern const unsigned char ${NAME}[] = {${bytes}};\n"
  "extern const std::size_t ${NAME}Size = sizeof(${NAME});\n")
