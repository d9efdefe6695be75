#include "messages/ListFieldsRecord.h"

#include <QtEndian>

namespace {

constexpr char kFormat = 1;

enum TFlag : unsigned char {
    kAttachment = 0x01,
    kQuotedPrintable = 0x02,
    kHasFrom = 0x04,
    kHasTo = 0x08,
    kHasDate = 0x10,
    kSubjectKeys = 0x20,
    kSameSubjectKeys = 0x40,   // the normalised subject's key is the lower-cased one's
};

void PutNumber(QByteArray& out, quint64 value)
{
    // Seven bits a byte, the high bit set on all but the last.
    while (value >= 0x80) {
        out.append(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.append(static_cast<char>(value));
}

void PutBytes(QByteArray& out, QByteArrayView bytes)
{
    PutNumber(out, static_cast<quint64>(bytes.size()));
    out.append(bytes);
}

// Length times two, plus one for UTF-16.
void PutText(QByteArray& out, const QString& text)
{
    const bool narrow = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
    const auto length = static_cast<quint64>(text.size());
    PutNumber(out, length * 2 + (narrow ? 0 : 1));
    if (narrow) {
        out.append(text.toLatin1());
        return;
    }
    for (QChar c : text) {
        char units[2];
        qToLittleEndian(c.unicode(), units);
        out.append(units, 2);
    }
}

class TReader
{
public:
    explicit TReader(QByteArrayView record) : FRecord(record) {}

    [[nodiscard]] bool AtEnd() const { return FAt == FRecord.size(); }
    bool Byte(unsigned char& value)
    {
        if (FAt >= FRecord.size())
            return false;
        value = static_cast<unsigned char>(FRecord[FAt++]);
        return true;
    }
    bool Number(quint64& value)
    {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            unsigned char byte = 0;
            if (!Byte(byte))
                return false;
            value |= static_cast<quint64>(byte & 0x7F) << shift;
            if (!(byte & 0x80))
                return true;
        }
        return false;
    }
    bool Bytes(QByteArray& bytes)
    {
        quint64 size = 0;
        if (!Number(size) || size > static_cast<quint64>(FRecord.size() - FAt))
            return false;
        bytes = FRecord.sliced(FAt, static_cast<qsizetype>(size)).toByteArray();
        FAt += static_cast<qsizetype>(size);
        return true;
    }
    bool Text(QString& text)
    {
        quint64 header = 0;
        if (!Number(header))
            return false;
        const quint64 length = header / 2;
        const bool wide = header & 1;
        const quint64 bytes = wide ? length * 2 : length;
        if (length > static_cast<quint64>(FRecord.size()) || bytes > static_cast<quint64>(FRecord.size() - FAt))
            return false;
        const QByteArrayView data = FRecord.sliced(FAt, static_cast<qsizetype>(bytes));
        FAt += static_cast<qsizetype>(bytes);
        if (!wide) {
            text = QString::fromLatin1(data);
            return true;
        }
        text.resize(static_cast<qsizetype>(length));
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(qFromLittleEndian<char16_t>(data.data() + 2 * i));
        return true;
    }
    bool Date(qint64& ms)
    {
        if (FRecord.size() - FAt < 8)
            return false;
        ms = qFromLittleEndian<qint64>(FRecord.data() + FAt);
        FAt += 8;
        return true;
    }

private:
    QByteArrayView FRecord;
    qsizetype FAt = 0;
};

bool ReadSubjectKeys(TReader& reader, bool same, TListFields& fields)
{
    QByteArray lower;
    if (!reader.Bytes(lower))
        return false;
    fields.SubjectLowerKey = TCollationKey(std::move(lower));
    if (same) {
        fields.SubjectNormalKey = fields.SubjectLowerKey;
        return true;
    }
    QByteArray normal;
    if (!reader.Bytes(normal))
        return false;
    fields.SubjectNormalKey = TCollationKey(std::move(normal));
    return true;
}

} // namespace

QByteArray EncodeListFields(const TListFields& fields)
{
    QByteArray out;
    out.reserve(64 + 2 * (fields.Subject.size() + fields.FromName.size() + fields.FromAddress.size()
                          + fields.ToName.size() + fields.ToAddress.size()) + fields.MessageId.size());
    unsigned char flags = 0;
    flags |= fields.Attachment ? kAttachment : 0;
    flags |= fields.QuotedPrintable ? kQuotedPrintable : 0;
    flags |= fields.HasFrom ? kHasFrom : 0;
    flags |= fields.HasTo ? kHasTo : 0;
    flags |= fields.HasDate ? kHasDate : 0;
    const bool sameKeys = fields.SubjectNormalKey == fields.SubjectLowerKey;
    if (fields.HasSubjectKeys)
        flags |= sameKeys ? kSubjectKeys | kSameSubjectKeys : kSubjectKeys;
    out.append(kFormat);
    out.append(static_cast<char>(flags));
    out.append(static_cast<char>(fields.Priority));
    if (fields.HasDate) {
        char date[8];
        qToLittleEndian(fields.DateSentMs, date);
        out.append(date, 8);
    }
    PutText(out, fields.Subject);
    PutText(out, fields.FromName);
    PutText(out, fields.FromAddress);
    PutText(out, fields.ToName);
    PutText(out, fields.ToAddress);
    PutBytes(out, fields.MessageId);
    if (fields.HasSubjectKeys) {
        PutBytes(out, fields.SubjectLowerKey.Bytes());
        if (!sameKeys)
            PutBytes(out, fields.SubjectNormalKey.Bytes());
    }
    return out;
}

bool DecodeListFields(QByteArrayView record, TListFields& fields)
{
    TReader reader(record);
    unsigned char format = 0;
    unsigned char flags = 0;
    if (!reader.Byte(format) || format != kFormat || !reader.Byte(flags) || !reader.Byte(fields.Priority))
        return false;
    fields.Attachment = flags & kAttachment;
    fields.QuotedPrintable = flags & kQuotedPrintable;
    fields.HasFrom = flags & kHasFrom;
    fields.HasTo = flags & kHasTo;
    fields.HasDate = flags & kHasDate;
    fields.HasSubjectKeys = flags & kSubjectKeys;
    fields.DateSentMs = 0;
    if (fields.HasDate && !reader.Date(fields.DateSentMs))
        return false;
    if (!reader.Text(fields.Subject) || !reader.Text(fields.FromName) || !reader.Text(fields.FromAddress)
        || !reader.Text(fields.ToName) || !reader.Text(fields.ToAddress) || !reader.Bytes(fields.MessageId))
        return false;
    fields.SubjectLowerKey = {};
    fields.SubjectNormalKey = {};
    if (fields.HasSubjectKeys && !ReadSubjectKeys(reader, flags & kSameSubjectKeys, fields))
        return false;
    return fields.Priority <= 4 && reader.AtEnd();
}
