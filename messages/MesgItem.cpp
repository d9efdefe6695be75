#include "messages/MesgItem.h"

#include "base/FastMemoryStream.h"
#include "base/SafeFile.h"
#include "content/attach/AttachmentNames.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "messages/MesgErrors.h"
#include "messages/MesgFiles.h"
#include "messages/MesgItems.h"

#include <QRegularExpression>

#include <optional>

#include <typeinfo>

namespace {

// "=0D" (either case) right before a line end.
QByteArray DropEncodedCarriageReturns(const QByteArray& text)
{
    QByteArray result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = text.indexOf("\r\n"); at >= 0; at = text.indexOf("\r\n", at + 2)) {
        const bool encodedReturn = at - from >= 3 && text[at - 3] == '=' && text[at - 2] == '0' &&
                                   (text[at - 1] == 'D' || text[at - 1] == 'd');
        if (encodedReturn) {
            result.append(text.constData() + from, at - 3 - from);
            from = at;
        }
    }
    result.append(text.constData() + from, text.size() - from);
    return result;
}

} // namespace

TMesgItem::TMesgItem(TSyncItems* owner)
    : TVirtItem(owner)
{
}

TMesgItem::~TMesgItem() = default;

TMesgItems* TMesgItem::Items() const
{
    return qobject_cast<TMesgItems*>(Owner());
}

void TMesgItem::Assign(const TSyncItem& source)
{
    TVirtItem::Assign(source);
    if (typeid(source) != typeid(*this))
        return;
    const auto& other = static_cast<const TMesgItem&>(source);
    FFields = other.FFields;
    if (other.FSource) {
        auto copy = std::make_shared<TFastMemoryStream>();
        copy->Assign(*other.FSource);
        FSource = std::move(copy);
    } else {
        FSource.reset();
    }
}

QString TMesgItem::Caption() const
{
    QString caption = TVirtItem::Caption();
    if (!caption.isEmpty())
        return caption;
    TMesgItems* items = Items();
    if (items && items->OnItemText) {
        // The answer is kept: the text event is asked once per item.
        auto* self = const_cast<TMesgItem*>(this);
        caption = items->OnItemText(*self);
        self->SetCaption(caption);
    }
    return caption;
}

QString TMesgItem::FileNameBase() const
{
    static const QRegularExpression reply(QStringLiteral("re:"), QRegularExpression::CaseInsensitiveOption);
    QString subject = FFields.Subject;
    subject.replace(reply, QStringLiteral("re "));
    // Shortened so that the id, a number and an extension still fit in a file name.
    const QString id = QString::number(Id());
    return CutToFileNameBytes(CleanFileName(subject), kMaxFileNameBytes - kFileNameReserve - id.size()) + id;
}

void TMesgItem::ResetFields()
{
    FFields = TFields();
}

void TMesgItem::DecodeInto(TMimeMessage& message, bool headerOnly)
{
    DecodeInto(message, headerOnly ? TMimeParser::TMode::Structure : TMimeParser::TMode::Full);
}

void TMesgItem::DecodeInto(TMimeMessage& message, TMimeParser::TMode mode)
{
    message.Clear();
    // The parse works on a stream of its own holding: another thread may
    // give the item a new source meanwhile (under the collection's lock).
    std::shared_ptr<TFastMemoryStream> held;
    {
        std::optional<TReadGuard<TSyncItems>> guard;
        if (Listed())
            guard.emplace(*Owner());
        held = FSource;
    }
    // An item without one reads it for this parse only.
    if (!held)
        held = Source();
    TMesgItems* items = Items();
    thread_local const TMimeParser fallback;
    const TMimeParser& parser = items ? items->Parser() : fallback;
    if (!FFields.QuotedPrintable) {
        // Read through a view of its own: the source's position is shared
        // with every other reader of the item.
        parser.Parse(TSharedSource(held), message, mode);
        return;
    }
    // The rewriting keeps a parser that stops at a line holding a single
    // "." from ending the message early, and drops carriage returns that a
    // mailer encoded as "=0D" in front of the real line end.
    QByteArray text = DropEncodedCarriageReturns(held->ToByteArray());
    text.replace("\r\n.\r\n", "\r\n=2E\r\n");
    parser.Parse(text, message, mode);
}

void TMesgItem::WriteSource(TStream& target)
{
    if (!FSource)
        throw EMesgError(QStringLiteral("Error saving message: source stream not exists"));
    FSource->SaveToStream(target);
}

void TMesgItem::SaveToFile(const QString& fileName)
{
    try {
        TSafeFileStream file(fileName, TSafeFileStream::TMode::Replace);
        SaveToStream(file);
    } catch (...) {
        QueueFileError(fileName);
    }
}

void TMesgItem::SaveToStream(TSafeFileStream& file)
{
    {
        TReadGuard<TSyncItems> guard(*Owner());
        WriteSource(file);
    }
    file.Commit();
}

void TMesgItem::ReadFromStream(TStream& stream)
{
    TMimeMessage message;
    TMesgItems* items = Items();
    const TMimeParser fallback;
    (items ? items->Parser() : fallback).Parse(stream, message);
    DeriveFields(message, DecodeListHeader(message));
}

std::shared_ptr<TFastMemoryStream> TMesgItem::Source()
{
    if (FSource)
        return FSource;
    std::shared_ptr<TFastMemoryStream> source = TFastMemoryStream::ForSize(FFields.Size);
    WriteSource(*source);
    source->SetPosition(0);
    return source;
}

void TMesgItem::DropSource()
{
    std::optional<TWriteGuard<TSyncItems>> guard;
    if (Listed())
        guard.emplace(*Owner());
    FSource.reset();
}

void TMesgItem::SetSource(std::shared_ptr<TFastMemoryStream> source)
{
    if (source == FSource)
        return;
    FSource = std::move(source);
    if (FSource)
        FFields.Size = FSource->Size();
}

void TMesgItem::SetStateBit(TMesgState bit, bool on)
{
    FFields.State = on ? (FFields.State | bit) : (FFields.State & ~bit);
}

void TMesgItem::SetSubject(const QString& subject)
{
    FFields.Subject = subject;
    FFields.SubjectKey = SubjectKey(subject);
}

void TMesgItem::DeriveFields(const TMimeMessage& message, const TListHeader& header)
{
    SetListFields(ListFieldsOf(message, header));
}

void TMesgItem::SetListFields(const TListFields& fields)
{
    // Nobody else can see an item that is not listed yet: no lock is needed.
    std::optional<TWriteGuard<TSyncItems>> guard;
    if (Listed())
        guard.emplace(*Owner());
    if (FFields.Parsed)
        return;
    FFields.Subject = fields.Subject;
    FFields.SubjectKey = fields.HasSubjectKeys
                             ? SubjectKey(fields.Subject, fields.SubjectLowerKey, fields.SubjectNormalKey)
                             : SubjectKey(fields.Subject);
    if (fields.HasFrom) {
        FFields.FromName = fields.FromName;
        FFields.FromAddress = fields.FromAddress;
    }
    if (fields.HasTo) {
        FFields.ToName = fields.ToName;
        FFields.ToAddress = fields.ToAddress;
    }
    FFields.DateSent =
        fields.HasDate ? DateTimeToDays(QDateTime::fromMSecsSinceEpoch(fields.DateSentMs, Qt::UTC)) : 0;
    FFields.Priority = fields.Priority;
    if (fields.Attachment)
        FFields.State |= stAttachment;
    FFields.MessageId = fields.MessageId;
    FFields.QuotedPrintable = fields.QuotedPrintable;
    FFields.Parsed = true;
}
