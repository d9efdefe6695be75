# Compiler settings shared by every target of the project.

set(VELLUMO_SANITIZE "" CACHE STRING "Sanitizer build: empty, 'address' (ASan+UBSan), 'thread' (TSan) or 'fuzzer' (libFuzzer, clang)")

add_compile_options(-Wall -Wextra)
add_compile_definitions(
  QT_NO_KEYWORDS            # GMime's glib headers use 'signals' as a member name
  QT_NO_CAST_FROM_ASCII     # text and bytes never mix silently
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
)

if(VELLUMO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(VELLUMO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(VELLUMO_SANITIZE STREQUAL "fuzzer")
  # Instruments every library for the libFuzzer targets of fuzz/.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT VELLUMO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "Unknown VELLUMO_SANITIZE value '${VELLUMO_SANITIZE}'")
endif()

# vellumo_module(<name> SOURCES ... DEPENDS ...): one static library per module.
function(vellumo_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(vellumo_${name} STATIC ${ARG_SOURCES})
  target_include_directories(vellumo_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(vellumo_${name} PUBLIC ${ARG_DEPENDS})
endfunction()
