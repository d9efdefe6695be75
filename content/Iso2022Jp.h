#pragma once

#include <QByteArray>

// ISO-2022-JP (7-bit JIS) and Shift_JIS, converted by the standard JIS X 0208
// arithmetic. Used for header words: Japanese mail writes them in
// ISO-2022-JP, Japanese systems hold text in Shift_JIS.

// ESC "$B" starts double-byte mode and ESC "(B" ends it; any other escape is
// dropped without changing the mode. Pairs in double-byte mode become
// Shift_JIS; other bytes are copied.
[[nodiscard]] QByteArray JisToShiftJis(const QByteArray& bytes);

// ASCII is copied, double-byte characters become JIS X 0208 pairs inside
// ESC "$B" ... ESC "(B", and half-width katakana become their full-width
// forms (a following voiced or semi-voiced mark merges where a combined form
// exists). Bytes that have no JIS form are dropped.
[[nodiscard]] QByteArray ShiftJisToJis(const QByteArray& bytes);
