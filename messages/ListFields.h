#pragma once

#include "content/CollationKey.h"
#include "messages/MesgFields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class TMimeMessage;
class TMimeParser;

// What a message list derives from a message's source (everything else it
// shows, the state, size and received date, the store keeps): the decoded
// subject, the first From and To addresses, the sent date, the priority,
// whether there are attachments, the message id and whether the message is
// quoted-printable. Derived once per message and kept in the store (see
// ListFieldsRecord.h), so that a folder opens again without parsing.
struct TListFields
{
    QString Subject;
    bool HasFrom = false;   // the From line held an address
    QString FromName;
    QString FromAddress;
    bool HasTo = false;     // the To line held an address
    QString ToName;
    QString ToAddress;
    QByteArray MessageId;   // trimmed, lower-cased Message-ID, else Thread-Id
    bool HasDate = false;
    qint64 DateSentMs = 0;  // milliseconds since 1970 UTC; kept apart from the local zone
    unsigned char Priority = 2;
    bool Attachment = false;
    bool QuotedPrintable = false;
    // The subject's collation keys (see SubjectKey), when they were made
    // with the fields: a list sorting by subject then need not make them.
    bool HasSubjectKeys = false;
    TCollationKey SubjectLowerKey;
    TCollationKey SubjectNormalKey;

    friend bool operator==(const TListFields&, const TListFields&) = default;
};

// The fields of a parsed message whose Subject, From and To are decoded in `header`.
[[nodiscard]] TListFields ListFieldsOf(const TMimeMessage& message, const TListHeader& header);

// The fields of a message source: read by the quick scan where it can read
// the message, otherwise by `parser` (Structure mode). Both give the same.
[[nodiscard]] TListFields ReadListFields(QByteArrayView source, const TMimeParser& parser);

// Adds the subject's collation keys.
void AddSubjectKeys(TListFields& fields);

// Everything besides the source that the derivation depends on: the
// version of the derivation (raise kListFieldsVersion whenever a change of
// code changes what is derived), the MIME library's version, the system
// code page, the default message charset, the Russian re-detection of
// header fields and the collation of the subject keys. Fields kept under
// another key are derived anew.
inline constexpr int kListFieldsVersion = 2;
[[nodiscard]] QByteArray ListFieldsKey();
