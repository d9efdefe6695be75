#pragma once

#include <QByteArray>
#include <QString>

// HTML read without a renderer: plain text for the places that need an
// HTML body as text on any thread (saving as text, previews, the filters),
// and where a long document may be cut to show its beginning first.

// The text a reader sees, roughly as a browser's innerText gives it: tags
// removed (the content of script, style and title too, and comments);
// br and the block elements (p, div, li, tr, headings ...) start lines,
// paragraphs and headings with an empty line between them; cells are
// separated by a TAB; white space collapsed outside pre; character
// references decoded (named ones of HTML's common set, decimal and hex).
// Lines come out LF-separated, trimmed at the right, with no empty line at
// either end and never two empty lines in a row.
[[nodiscard]] QString HtmlToText(const QString& html);

// The length of a head of `html` at least `length` characters long that
// can be shown by itself: it ends just before a "<" and never inside a tag,
// a comment or the content of a script, style or title element. The whole
// length when no such place follows.
[[nodiscard]] qsizetype HtmlHeadLength(const QString& html, qsizetype length);

// The charset an HTML document names for itself in a meta element
// (<meta charset=...> or <meta http-equiv="Content-Type"
// content="...; charset=...">); empty when it names none.
[[nodiscard]] QByteArray HtmlMetaCharset(const QByteArray& html);
