#pragma once

#include <QString>

class TMesgItem;

// A message as readable text: From, To (and Cc), Subject and Date lines,
// an empty line and the text body, every line ending in LF. The header
// fields are single lines made safe for a terminal (TerminalText). Header fields and body are decoded in
// the named charset, or in the message's own when the name is empty.
// Raises ECliError for a charset name the program does not know.
[[nodiscard]] QString MessageText(TMesgItem& item, const QString& charsetName);
