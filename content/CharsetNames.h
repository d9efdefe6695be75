#pragma once

#include <QString>

#include <cstdint>

// Index into the charset name table; 0 means no charset (an empty label or a
// label the table does not hold). Identifiers live only in memory.
using CharsetId = std::uint16_t;

// Number of names in the table (entry 0, the empty name, not counted).
[[nodiscard]] int CharsetNameCount();
// Number of groups, one per registered character set.
[[nodiscard]] int CharsetGroupCount();

// The name of an identifier exactly as the table writes it; empty for 0 or
// an identifier outside the table.
[[nodiscard]] QString CharsetName(CharsetId id);

// Exact, case-insensitive match of the whole name against the table; 0 when
// nothing matches.
[[nodiscard]] CharsetId CharsetFromName(const QString& name);

// Lower-cases the ASCII letters of a label and strips a leading "x-" from a
// label longer than two characters ("X-KOI8-R" becomes "koi8-r").
[[nodiscard]] QString NormalizeCharsetName(const QString& name);

// The canonical member of the identifier's group (its first name); 0 stays 0.
[[nodiscard]] CharsetId CanonicalCharset(CharsetId id);
