#pragma once

#include "messages/dbx/DbxBytes.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <optional>

// One indexed info object (a message info or a folder info): a set of
// numbered fields, each either a value stored in its entry or a run of
// bytes in the object's data. Reading checks every offset against the
// object and the file; a field that does not fit is treated as missing.
class TDbxIndexedInfo
{
public:
    // Reads the object at `offset`; false when there is no sound object
    // there (wrong marker, lengths outside the file).
    bool Read(const TDbxBytes& bytes, qint64 offset);

    [[nodiscard]] bool Has(int field) const;
    // A 32-bit field: stored directly (three bytes) or as four data bytes.
    [[nodiscard]] std::optional<quint32> Int(int field) const;
    // A zero-terminated string field, without its terminator.
    [[nodiscard]] QByteArray String(int field) const;
    // A Win32 FILETIME field as UTC; invalid when missing or implausible.
    [[nodiscard]] QDateTime Time(int field) const;

private:
    struct TField {
        bool Present = false;
        bool Direct = false;
        quint32 Value = 0;    // the value, or the offset into the data
    };

    // The data bytes of an indirect field: from its offset up to the next
    // field's data or the end of the data.
    [[nodiscard]] std::pair<const uchar*, qint64> Span(int field) const;

    std::array<TField, 128> FFields{};
    const uchar* FData = nullptr;
    qint64 FDataLength = 0;
};
