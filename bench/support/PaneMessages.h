#pragma once

#include <QByteArray>

// The messages a reading pane is measured with: list mail of about `size`
// bytes (a greeting, quotes, paragraphs, an advertisement line), a
// quoted-printable HTML newsletter of about `size` bytes (one long table
// with inline "cid:" images and links), and a short text with a 20 MB
// base64 attachment. CRLF line ends.
[[nodiscard]] QByteArray PlainListMessage(qsizetype size);
[[nodiscard]] QByteArray HtmlNewsletterMessage(qsizetype size = 200 * 1024);
// The 200 KB newsletter with a 20 KB plain-text alternative before it.
[[nodiscard]] QByteArray AlternativeNewsletterMessage();
[[nodiscard]] QByteArray LargeAttachmentMessage();
