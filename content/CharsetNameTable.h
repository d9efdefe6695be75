#pragma once

#include <cstddef>

// The charset name table as constant data (see CharsetNameTable.cpp); only
// CharsetNames.cpp reads it.
extern const char* const kCharsetNameTable[];
extern const std::size_t kCharsetNameTableSize;
