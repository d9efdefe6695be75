#pragma once

#include <span>

// One text that the program asks the language file for: a section and a
// key (a name, or a decimal number for numbered texts).
struct TLanguageKey
{
    const char* Section;
    const char* Key;
};

// Every text any window, dialog, box or message of the program looks up.
// The shipped "english.ini" answers each of them; a test holds it to that.
[[nodiscard]] std::span<const TLanguageKey> RequiredLanguageKeys();
