#include "messages/ListFields.h"

#include "content/GMimeHandle.h"
#include "content/MesgUtils.h"
#include "content/MimeListScan.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "content/Utf16Funcs.h"
#include "content/WideIdEMailAddress.h"
#include "settings/CharsetSwitches.h"
#include "settings/SystemCodePage.h"

namespace {

// The first address of a decoded address line; false when it holds none.
bool FirstAddress(const QString& line, QString& name, QString& address)
{
    TWideIdEMailAddressList list;
    list.SetAddressListText(line, 1);
    if (list.Count() == 0)
        return false;
    name = list.Item(0).Name();
    address = list.Item(0).Address();
    return true;
}

} // namespace

TListFields ListFieldsOf(const TMimeMessage& message, const TListHeader& header)
{
    TListFields fields;
    fields.Subject = header.Subject;
    fields.HasFrom = FirstAddress(header.From, fields.FromName, fields.FromAddress);
    fields.HasTo = FirstAddress(header.To, fields.ToName, fields.ToAddress);
    const QDateTime date = message.Date();
    fields.HasDate = date.isValid();
    fields.DateSentMs = fields.HasDate ? date.toMSecsSinceEpoch() : 0;
    fields.Priority = static_cast<unsigned char>(message.Priority());
    fields.Attachment = message.HasAttachments();
    fields.MessageId = message.Headers().Value("Message-ID").trimmed().toLower();
    if (fields.MessageId.isEmpty())
        fields.MessageId = message.Headers().Value("Thread-Id").trimmed().toLower();
    fields.QuotedPrintable = message.TransferEncoding() == "quoted-printable";
    return fields;
}

TListFields ReadListFields(QByteArrayView source, const TMimeParser& parser)
{
    TMimeMessage message;
    if (!ScanListStructure(source, message, parser.Limits()))
        parser.Parse(QByteArray(source.data(), source.size()), message, TMimeParser::TMode::Structure);
    return ListFieldsOf(message, DecodeListHeader(message));
}

void AddSubjectKeys(TListFields& fields)
{
    TSubjectKey key = SubjectKey(fields.Subject);
    fields.HasSubjectKeys = true;
    fields.SubjectLowerKey = std::move(key.LowerKey);
    fields.SubjectNormalKey = std::move(key.NormalKey);
}

QByteArray ListFieldsKey()
{
    EnsureGMimeInitialized();
    return QStringLiteral("fields %1; gmime %2.%3.%4; code page %5; charset %6; rus %7; %8")
        .arg(kListFieldsVersion)
        .arg(gmime_major_version)
        .arg(gmime_minor_version)
        .arg(gmime_micro_version)
        .arg(SystemCodePage())
        .arg(CharsetName(DefaultMessageCharset()))
        .arg(AutoRusHeaderEnabled() ? 1 : 0)
        .arg(QString::fromLatin1(CollationIdentity()))
        .toUtf8();
}
