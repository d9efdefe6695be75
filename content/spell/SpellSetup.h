#pragma once

class TBaseOptions;
class TSpellChecker;

// Readies a checker as the program uses it: room for the main dictionary,
// the main dictionary "spellcheck/english.txt" of the data folder, the
// custom dictionary "custom.dic" of the options folder, and the options
// stored in the settings section "SpellCheck".
void PrepareSpellChecker(TSpellChecker& checker, TBaseOptions& settings);
