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

# ccache, when installed, with paths taken relative to the source tree so that
# several checkouts share one cache.
find_program(VELLUMO_CCACHE ccache)
if(VELLUMO_CCACHE)
  set(VELLUMO_CCACHE_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime ${VELLUMO_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${VELLUMO_CCACHE_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${VELLUMO_CCACHE_LAUNCHER})
endif()

# Precompiled headers: the Qt and standard headers every file includes. GCC's
# precompiled headers differ from build to build, so they defeat a shared ccache:
# by default one or the other.
if(VELLUMO_CCACHE)
  option(VELLUMO_PCH "Precompiled headers" OFF)
else()
  option(VELLUMO_PCH "Precompiled headers" ON)
endif()
set(VELLUMO_PCH_DIR ${CMAKE_CURRENT_LIST_DIR}/pch)
function(vellumo_precompile target header)
  if(VELLUMO_PCH)
    target_precompile_headers(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${VELLUMO_PCH_DIR}/${header}>")
  endif()
endfunction()

# vellumo_module(<name> SOURCES ... PUBLIC ... PRIVATE ... [WIDGETS]): one static
# library per module. PUBLIC: what the module's headers include; PRIVATE: what only
# its sources include. tests/ModuleArrows.cmake checks both against the includes.
function(vellumo_module name)
  cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(vellumo_${name} STATIC ${ARG_SOURCES})
  target_include_directories(vellumo_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(vellumo_${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  if(ARG_WIDGETS)
    vellumo_precompile(vellumo_${name} WidgetsPch.h)
  else()
    vellumo_precompile(vellumo_${name} CorePch.h)
  endif()
endfunction()
