#pragma once

#include "content/CharsetNames.h"

#include <QString>

class TMimeAttachment;
class TMimeMessage;
class TMimePart;

// Attachment names come from the message, that is from whoever sent it:
// "../../.bashrc", "/etc/passwd", names with control characters, bidi
// overrides or 500 bytes. These functions turn them into names a user can
// read and a file system takes, which never lead out of the folder they
// are written to.

// The longest file name the file systems take, in bytes.
constexpr int kMaxFileNameBytes = 255;

// The name the part's headers give it, decoded the way GMime reads MIME
// parameters: the "filename" parameter of Content-Disposition, else the
// "name" parameter of Content-Type, RFC 2231 (charset-encoded and
// continued) and RFC 2047 values decoded by their own charsets. A raw 8-bit
// value is read in `rawCharset` (0: the system code page). A name that came
// from inside the content (a uuencoded block's) is read the same way.
// Empty when there is none.
[[nodiscard]] QString AttachmentHeaderName(const TMimePart& part, CharsetId rawCharset);

// A text made safe as a file name: control characters (C0, DEL, C1) and
// bidi controls are dropped; "\", "/", ":", "*", "?", double quote, "<",
// ">" and "|" become "_" (never two "_" in a row); blanks at both ends and
// leading dots are removed, so the name is never ".", ".." or hidden.
// Empty when nothing is left.
[[nodiscard]] QString CleanFileNameText(const QString& text);
// A name from a message made safe: only what follows its last "/", "\" or
// ":" is kept (a path is never followed), then CleanFileNameText.
[[nodiscard]] QString CleanAttachmentName(const QString& name);

// The longest start of `text` whose file-system form takes at most
// `maxBytes` bytes, cut between two characters as the user sees them
// (never inside a surrogate pair or before a combining mark).
[[nodiscard]] QString CutToFileNameBytes(const QString& text, qsizetype maxBytes);

// The name shortened to at most `maxBytes` bytes of UTF-8, its extension
// kept (an extension of more than 32 bytes counts as part of the name);
// characters are never cut in half.
[[nodiscard]] QString FitFileName(const QString& name, int maxBytes = kMaxFileNameBytes);

// `name` with a counter before its extension ("report.pdf", 1 gives
// "report01.pdf"; three digits from 100), still at most 255 bytes.
[[nodiscard]] QString NumberedFileName(const QString& name, int counter);

// The name the user sees and the file name it is saved or opened under:
// the header name cleaned; when nothing usable is left, "attachment" with
// the attachment's number in the message (1 for the first) and the
// extension of its content type. Raw 8-bit names are read in the charset
// of the message's first text part. Always a usable name of at most 255
// bytes.
[[nodiscard]] QString DisplayName(const TMimeMessage& message, const TMimeAttachment& attachment);
