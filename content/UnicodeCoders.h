#pragma once

#include <QByteArray>
#include <QString>

// UTF-8 to UTF-16. Every ill-formed sequence (a stray trail byte, a sequence
// cut short, an overlong form, an encoded surrogate, a value above U+10FFFF)
// becomes one U+FFFD per maximal ill-formed part and decoding goes on, so one
// bad byte never costs the rest of the text. Four-byte sequences become
// surrogate pairs. A byte-order mark is kept as U+FEFF.
[[nodiscard]] QString DecodeUtf8(QByteArrayView bytes);
// UTF-16 to UTF-8; a surrogate pair becomes one four-byte sequence and a
// lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
[[nodiscard]] QByteArray EncodeUtf8(QStringView text);

// Little-endian UTF-16 code units, two bytes each; an odd last byte is
// dropped and no byte-order mark is looked for or removed.
[[nodiscard]] QString DecodeUtf16Le(QByteArrayView bytes);
[[nodiscard]] QByteArray EncodeUtf16Le(QStringView text);
