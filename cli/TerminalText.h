#pragma once

#include <QString>

// Text of a message or of the store made safe to print on a terminal: every
// control character (C0, DEL, C1) and every mark or override that reorders
// bidirectional text becomes U+FFFD, so that a header cannot forge a row of
// a listing, move the cursor, clear the screen or make "fdp.exe" read
// "exe.pdf". A multi-line text keeps its line feeds and tabs; in a single
// line a tab becomes a blank. Machine output (--json) is never passed here.
[[nodiscard]] QString TerminalText(const QString& text, bool multiline = false);

// Line ends made the platform's: CR LF and a lone CR become LF.
[[nodiscard]] QString WithLineFeeds(const QString& text);
