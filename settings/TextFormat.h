#pragma once

#include <QString>
#include <QVariantList>

// Fills the placeholders of a format text with the arguments:
// "%[index:][-][width][.precision]type" with the types d, u, x (integers,
// precision = minimum digits), e, f, g, n, m (numbers), s (text,
// precision = maximum length), p (pointer-sized hex), and "%%" for a
// percent sign. Format texts come from language files, which users edit:
// a placeholder that is malformed or has no argument stays in the text as
// written instead of failing.
[[nodiscard]] QString FormatArgs(const QString& format, const QVariantList& args);
