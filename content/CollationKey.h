#pragma once

#include <QByteArray>
#include <QString>

// A text's key in the user's collation (the one CompareLocaleText uses):
// two keys compare as the texts they were made from, byte by byte, so a
// key made once serves every comparison of a sort, and keeps: its bytes
// can be stored and read back.
class TCollationKey
{
public:
    TCollationKey() = default;
    explicit TCollationKey(QByteArray bytes) : FBytes(std::move(bytes)) {}

    [[nodiscard]] const QByteArray& Bytes() const { return FBytes; }
    // Negative, zero or positive as this key's text comes before, with or
    // after the other's.
    [[nodiscard]] int Compare(const TCollationKey& other) const;

    friend bool operator==(const TCollationKey&, const TCollationKey&) = default;

private:
    QByteArray FBytes;
};

[[nodiscard]] TCollationKey CollationKey(const QString& text);

// What the keys depend on besides the texts: the collation's locale and the
// version of its rules. Keys kept under another identity must be made anew.
[[nodiscard]] QByteArray CollationIdentity();
