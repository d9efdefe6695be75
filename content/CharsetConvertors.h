#pragma once

#include <QByteArray>
#include <QString>

// The single-byte charsets this program converts with its own tables. Each
// converter maps every byte to exactly one UTF-16 unit and back, so a text
// keeps its length.
enum class TSingleByteCharset {
    Iso8859_2,
    Iso8859_3,
    Iso8859_4,
    Iso8859_5,
    Iso8859_6,
    Iso8859_7,
    Iso8859_8,
    Iso8859_9,
    Iso8859_10,
    Iso8859_13,
    Iso8859_14,
    Iso8859_15,
    Koi8R,
};

[[nodiscard]] QString DecodeSingleByte(QByteArrayView bytes, TSingleByteCharset charset);
// A character that no byte decodes to follows the charset's rule: its low
// eight bits (the tabled ISO parts and KOI8), "?" (ISO-8859-5 to -8), or its
// own code when below U+0100 and "?" otherwise (ISO-8859-9 and -15).
[[nodiscard]] QByteArray EncodeSingleByte(QStringView text, TSingleByteCharset charset);
