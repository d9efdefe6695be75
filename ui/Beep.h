#pragma once

#include <functional>

// The system beep of the user interface. Every beep of the program goes
// through this one function, so tests can count them instead of hearing them.
void Beep();

using TBeepHandler = std::function<void()>;
// Replaces what Beep() does (none: the platform beep); returns the previous handler.
TBeepHandler SetBeepHandler(TBeepHandler handler);

// Lists beep when a move key would leave their rows: Up, Page Up or Home on
// the first row (or none), Down, Page Down or End on the last one.
void BeepAtTheEnds(int key, int row, int lastRow);
