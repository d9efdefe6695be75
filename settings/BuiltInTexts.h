#pragma once

class TIniStrings;

// The English texts of the shipped "english.ini", built into the program.
// They answer for a language file that cannot be read, and for every
// section and key that a language file lacks, so that no message is ever
// shown empty. The "Menu" section is left out: a menu item or action that
// the language file gives no caption keeps the one its window gave it.

// The built-in texts, sorted and indexed.
[[nodiscard]] const TIniStrings& BuiltInTexts();

// Adds to a sorted and indexed table every built-in entry it lacks (by
// section and key), then sorts and indexes it again.
void AddMissingBuiltInTexts(TIniStrings& table);
