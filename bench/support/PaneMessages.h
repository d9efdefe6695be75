#pragma once

#include <QByteArray>

// The messages a reading pane is measured with: list mail of about `size`
// bytes (a greeting, quotes, paragraphs, an advertisement line), about
// 200 KB of quoted-printable HTML newsletter with inline "cid:" images and
// links, and a short text with a 20 MB base64 attachment. CRLF line ends.
[[nodiscard]] QByteArray PlainListMessage(qsizetype size);
[[nodiscard]] QByteArray HtmlNewsletterMessage();
// The same newsletter with a 20 KB plain-text alternative before it.
[[nodiscard]] QByteArray AlternativeNewsletterMessage();
[[nodiscard]] QByteArray LargeAttachmentMessage();
