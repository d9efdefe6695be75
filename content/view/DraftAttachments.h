#pragma once

#include <QByteArray>
#include <QString>

class TMimeMessage;

// Adding files to an unsent message and taking attachments out of it.

// Appends an attachment holding `data`, named `name` (a file's name without
// its folder) and typed `mimeType` (application/octet-stream when empty).
// The name is written as a quoted parameter when it is plain ASCII, else
// as an RFC 2231 UTF-8 parameter beside an RFC 2047 word for older
// readers. A message without parts becomes a mixed multipart when it is
// written, its text the first part.
void AddFileAttachment(TMimeMessage& message, const QString& name, const QByteArray& data, QByteArray mimeType = {});

// Removes the attachment of that index (counting attachments only, in
// part order); nothing when there is none.
void RemoveAttachment(TMimeMessage& message, int attachmentIndex);
