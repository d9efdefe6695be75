#pragma once

#include <memory>

class TRichSpellCheckerDlg;

// The one spell checker of the program, shared by every window: made on
// first use with the main dictionary, the user's custom dictionary and the
// options stored in the settings section "SpellCheck", and kept until the
// application ends. Main thread only; a background check keeps the
// reference it was given while it runs.
[[nodiscard]] TRichSpellCheckerDlg& SharedSpellChecker();
[[nodiscard]] std::shared_ptr<TRichSpellCheckerDlg> SharedSpellCheckerRef();
[[nodiscard]] bool SharedSpellCheckerExists();
// Lets the shared checker go (the application's end does so); the next use
// makes a new one from the files and settings.
void FreeSharedSpellChecker();
