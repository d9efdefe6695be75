#pragma once

class TSpellChecker;

// The spelling options command: the options dialog over the shared
// checker, or, before any check made one, over a temporary checker that
// only holds the stored options. The options are saved to the settings
// section "SpellCheck" when the dialog closes; marks of misspelled words
// are brought up to date.
void SpellOptions();

// The options dialog: nine check boxes bound by name to the checker's
// options. True when it ended with OK (the options then hold its values).
bool RunSpellOptionsDialog(TSpellChecker& checker);
