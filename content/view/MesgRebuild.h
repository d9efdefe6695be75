#pragma once

#include "content/CharsetNames.h"

#include <QString>

#include <optional>

class TMimeMessage;

// Turning what the user edited in an unsent message back into the message.

// The fields an editor owns. Everything else the message holds - its
// attachments (byte for byte), its Date, Message-ID, References and every
// other header field - stays as it was.
struct TEditedMessage
{
    QString Subject;
    QString From;
    QString To;
    QString Cc;
    QString Bcc;
    QString Sender;
    QString ReplyTo;
    QString Organization;
    QString Newsgroups;     // one group a line, or separated by commas
    // The edited plain text; none when the body was not edited (its parts
    // then stay as they are, an HTML body included).
    std::optional<QString> Body;
    // The charset the user chose for the message; 0: the default one.
    CharsetId Charset = 0;
};

// The charset the edited texts are written in: `preferred` (the default
// message charset when 0) when it holds every text, else UTF-8, so that
// nothing the user typed is lost.
[[nodiscard]] CharsetId RebuildCharset(CharsetId preferred, const TEditedMessage& edited);

// Rebuilds the message from the edited fields, in place. Each owned field
// is replaced, or removed when empty; text outside ASCII is written as RFC
// 2047 encoded words in the rebuild charset (so the fields read back the
// same whatever charset the body parts name), line breaks become spaces.
// An edited body replaces the plain part the view showed (or the message
// body), becoming text/plain in the rebuild charset with a transfer
// encoding chosen when written; an HTML alternative of the old body goes,
// since it would contradict the new text. "Unsent: 1" and the X-Mailer
// field are recorded, so that the message reads back as an unsent one.
void RebuildMessage(TMimeMessage& message, const TEditedMessage& edited);

// Replaces the shown body by `text`, encoded in `charset`: the body of a
// single-part message; else the first plain part or, without one, the
// first HTML part (an HTML part shown beside the plain one goes too); a
// multipart message without text gets a first plain part. Line breaks are
// written CR LF.
void ReplaceBody(TMimeMessage& message, const QString& text, CharsetId charset);
