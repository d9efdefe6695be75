#pragma once

#include "content/CharsetNames.h"
#include "content/CollationKey.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

class TMimeMessage;
class TStream;

// Small functions over parsed messages and header texts that the lists,
// the message views and the mailbox files share.

// Dates are kept as days since 1899-12-30 in local time (the fraction is
// the time of day); 0 means no date.
[[nodiscard]] double DateTimeToDays(const QDateTime& dateTime);
[[nodiscard]] QDateTime DaysToDateTime(double days);

// True when the message's extra header fields hold "Unsent"; false for no message.
[[nodiscard]] bool IsUnsent(const TMimeMessage* message);

// The text with blanks and control characters (codes 0 to 32) removed at
// both ends. Message text is trimmed once it is decoded: in a stateful
// charset (ISO-2022-JP, UTF-7) or in UTF-16 a byte below 33 may belong to a
// character.
[[nodiscard]] QString TrimControls(const QString& text);

// The text of a message: the first text part of type text/plain, else the
// first text part, else the message body, as the part holds it. The
// charset is the part's label, or the message's when the part names none.
void TextBody(const TMimeMessage& message, QByteArray& charset, QByteArray& text);

// TextBody decoded (DecodeBodyText) in `chosen`, or, when that is 0, in the
// part's own charset (the default message charset for a label the table
// does not know); then trimmed (TrimControls).
[[nodiscard]] QString DecodedTextBody(const TMimeMessage& message, CharsetId chosen);

// True when the source begins with a header field: a name of printable
// ASCII characters other than ":", then ":" (RFC 5322 §2.2). A binary or
// plain text file does not.
[[nodiscard]] bool StartsWithHeaderField(QByteArrayView source);

// Writes the whole message into the stream (left open).
void WriteMessage(const TMimeMessage& message, TStream& stream);
// Creates (or replaces) the file with the message, whole or not at all
// (a failure leaves an existing file as it was); nothing for an empty name.
void WriteMessageFile(const TMimeMessage& message, const QString& fileName);

// Sets "X-Mailer" in the message's header fields and its generated fields.
void SetMailer(TMimeMessage& message);

// True when the subject does not begin with "re" and holds "Digest number",
// both ignoring case.
[[nodiscard]] bool IsDigestSubject(const QString& subject);

// The subject order of the message lists: through reply prefixes ("re:")
// and reply counters ("[2]"), then by reply depth.
[[nodiscard]] int CompareSubjects(const QString& s, const QString& t);

// What CompareSubjects works from, computed once per subject so that a
// sorted list compares subjects without lower-casing, cutting or collating
// them again: the lower-cased subject, its normalised form and reply depth,
// and collation keys of both texts.
struct TSubjectKey
{
    QString Lower;
    TCollationKey LowerKey;
    TCollationKey NormalKey;
    int Counter = 0;
    int Prefixes = 0;

    friend bool operator==(const TSubjectKey&, const TSubjectKey&) = default;
};
[[nodiscard]] TSubjectKey SubjectKey(const QString& subject);
// The same with the collation keys made before (and kept): only the cheap
// rest is worked out again.
[[nodiscard]] TSubjectKey SubjectKey(const QString& subject, TCollationKey lowerKey, TCollationKey normalKey);
// CompareSubjects of the two subjects the keys were made from.
[[nodiscard]] int CompareSubjectKeys(const TSubjectKey& a, const TSubjectKey& b);
// The locale whose collation the lists follow: the user's, English when it is "C".
[[nodiscard]] QLocale CollationLocale();
// The locale-aware, case-sensitive comparison of the lists (the user's
// locale; English order when the locale is "C").
[[nodiscard]] int CompareLocaleText(const QString& a, const QString& b);
// The same with letter case ignored (folder names).
[[nodiscard]] int CompareLocaleTextNoCase(const QString& a, const QString& b);

// Kind 0: the long date and the short time of the locale; 1: the long
// date; 2: the short time. Empty for the date 0.
[[nodiscard]] QString FormatMessageDate(int kind, double dateTime);
// The date of mailbox "From " lines: "Sun Jan  2 03:04:05 2006".
[[nodiscard]] QString MailboxDate(double dateTime);

// Trimmed, then one leading "<" and one trailing ">" removed.
[[nodiscard]] QByteArray StripAngles(const QByteArray& text);
[[nodiscard]] QString StripAngles(const QString& text);

// A path for a file URL: space, "*", "#", "%", "<" and ">" written as "%"
// and two upper-case hex digits; everything else kept.
[[nodiscard]] QString FileUrlPath(const QString& path);

// Characters that must not reach a file name or a terminal from a message:
// the C0 and C1 controls, DEL, and the marks and overrides that reorder
// bidirectional text (which can make "gpj.exe" read "exe.jpg").
[[nodiscard]] bool IsControlOrBidi(char32_t c);

// A text made usable as a file name: control and bidirectional formatting
// characters dropped (IsControlOrBidi), each backslash, slash, colon, "*",
// "?", double quote, "<", ">" and "|" written as "_", except right after
// another "_".
[[nodiscard]] QString CleanFileName(const QString& text);
