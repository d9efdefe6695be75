#include "messages/dbx/DbxIndexedInfo.h"

#include "messages/dbx/DbxFormat.h"

using namespace DbxFormat;

namespace {

// FILETIME counts 100-nanosecond steps from 1601-01-01 UTC.
constexpr qint64 kFileTimeUnixOffsetMs = 11644473600000LL;
// Dates outside these years are not dates a mail program wrote.
constexpr int kFirstPlausibleYear = 1980;
constexpr int kLastPlausibleYear = 2100;

} // namespace

bool TDbxIndexedInfo::Read(const TDbxBytes& bytes, qint64 offset)
{
    FFields = {};
    FData = nullptr;
    FDataLength = 0;
    if (offset < kFileHeaderSize || !bytes.Contains(offset, kInfoHeaderSize) ||
        bytes.U32Unchecked(offset) != offset)
        return false;
    const qint64 bodyLength = bytes.U32Unchecked(offset + kInfoBodyLength);
    const int entries = *bytes.U8(offset + kInfoEntryCount);
    const qint64 body = offset + kInfoHeaderSize;
    if (!bytes.Contains(body, bodyLength) || entries * 4LL > bodyLength)
        return false;
    for (int i = 0; i < entries; ++i) {
        const quint32 entry = bytes.U32Unchecked(body + 4LL * i);
        TField& field = FFields[entry & 0x7F];
        field.Present = true;
        field.Direct = (entry & 0x80) != 0;
        field.Value = entry >> 8;
    }
    FData = bytes.Data() + body + entries * 4LL;
    FDataLength = bodyLength - entries * 4LL;
    return true;
}

bool TDbxIndexedInfo::Has(int field) const
{
    return field >= 0 && field < int(FFields.size()) && FFields[field].Present;
}

std::pair<const uchar*, qint64> TDbxIndexedInfo::Span(int field) const
{
    const TField& own = FFields[field];
    if (own.Direct || own.Value >= FDataLength)
        return {nullptr, 0};
    // The field's bytes end where the nearest data of another field begins.
    qint64 end = FDataLength;
    for (const TField& other : FFields) {
        if (other.Present && !other.Direct && other.Value > own.Value && other.Value < end)
            end = other.Value;
    }
    return {FData + own.Value, end - own.Value};
}

std::optional<quint32> TDbxIndexedInfo::Int(int field) const
{
    if (!Has(field))
        return std::nullopt;
    if (FFields[field].Direct)
        return FFields[field].Value;
    const auto [data, length] = Span(field);
    if (length < 4)
        return std::nullopt;
    return quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
}

QByteArray TDbxIndexedInfo::String(int field) const
{
    if (!Has(field))
        return {};
    const auto [data, length] = Span(field);
    if (!data)
        return {};
    const auto* end = static_cast<const uchar*>(memchr(data, 0, size_t(length)));
    return QByteArray(reinterpret_cast<const char*>(data), end ? end - data : length);
}

QDateTime TDbxIndexedInfo::Time(int field) const
{
    if (!Has(field))
        return {};
    const auto [data, length] = Span(field);
    if (length < 8)
        return {};
    quint64 ticks = 0;
    for (int i = 7; i >= 0; --i)
        ticks = ticks << 8 | data[i];
    const qint64 ms = qint64(ticks / 10000) - kFileTimeUnixOffsetMs;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    const int year = time.date().year();
    return year >= kFirstPlausibleYear && year <= kLastPlausibleYear ? time : QDateTime();
}
