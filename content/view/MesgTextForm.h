#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TViewOptions;

// The text forms of a message: the text file a message is saved as, and
// the short preview the message list shows as a hint.

// The decoded header texts a text form shows.
struct TMesgFieldTexts
{
    QString From;
    QString To;
    QString Cc;
    QString Bcc;
    QString Subject;
    QString Date;
};

// The caption of a field key of the language section "MesgFields" ("From",
// "To", "CC", "BC", "Subject", "Date"); the English word when the language
// file lacks it.
[[nodiscard]] QString FieldCaption(const QString& key);

// A message as text: "From: ...", "To: ...", "Cc: ..." and "Bcc: ..." (only
// when not empty), "Subject: ...", "Date: ..." (captions from the language
// file), an empty line and the body; LF line ends.
[[nodiscard]] QString TextForm(const TMesgFieldTexts& fields, const QString& body);

// The preview of a message: the lines "From: ...", "To: ...", "Subject:
// ..." and "Date: ..."; then, when the body has any, an empty line and its
// first five lines that are not blank, trimmed at the right. The body lines
// go through the greeting and advertisement filters (each when its option
// is on) and lose their leading separator lines first; the body's last
// line is never taken (it may be cut short). LF line ends.
[[nodiscard]] QString PreviewText(const TMesgFieldTexts& fields, QStringList bodyLines, const TViewOptions& options);

// Text files are written as UTF-8 without a byte-order mark, as Linux
// programs expect, through a safe file stream (a temporary file beside the
// target, flushed and renamed).
void WriteTextFile(const QString& path, const QString& text);
// A text file in any form this program or its predecessors wrote: UTF-16
// (either byte order) or UTF-8 after a byte-order mark, else UTF-8 when the
// bytes are well-formed UTF-8, else 8-bit text in the system code page.
[[nodiscard]] QString DecodeTextFileAnyForm(const QByteArray& bytes);
// Reads and decodes such a file; raises EFOpenError when it cannot be read.
[[nodiscard]] QString ReadTextFile(const QString& path);

// The name a save dialog proposes for a shown message: the file it came
// from, without its extension; with no file, the subject ("re:" in any case
// written "re ") made safe as a file name. An extension is removed only
// from a name that came from a file: "Version 2.1 import" stays whole.
[[nodiscard]] QString SaveAsBaseName(const QString& fileName, const QString& subject);
