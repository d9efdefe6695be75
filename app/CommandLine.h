#pragma once

#include <optional>

// Answers "--help" and "--version" on standard output before any window
// system is needed, so that they work on a plain terminal. Returns the exit
// status when one of them was given, nothing otherwise (the program starts).
[[nodiscard]] std::optional<int> AnswerInfoOptions(int argc, char** argv);
