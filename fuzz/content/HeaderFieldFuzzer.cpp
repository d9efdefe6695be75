// Feeds arbitrary bytes to DecodeHeaderField. The first byte picks the
// message charset, the system code page and the Russian re-detection switch,
// so that every decoding road is reached; the rest is the header value.

#include "content/IdCoderHeader.h"
#include "settings/SystemCodePage.h"
#include "settings/CharsetSwitches.h"

#include <array>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::array<CharsetId, 8> charsets = {
        CharsetId(0),
        CharsetFromName(QStringLiteral("UTF-8")),
        CharsetFromName(QStringLiteral("KOI8-R")),
        CharsetFromName(QStringLiteral("ISO-8859-7")),
        CharsetFromName(QStringLiteral("Shift_JIS")),
        CharsetFromName(QStringLiteral("ISO-2022-JP")),
        CharsetFromName(QStringLiteral("UTF-7")),
        CharsetFromName(QStringLiteral("UTF-16")),
    };
    static const std::array<unsigned, 4> codePages = {1252, 1251, 932, 1255};
    const std::uint8_t selector = data[0];
    SetSystemCodePage(codePages[(selector >> 3) & 3]);
    SetAutoRusHeaderEnabled((selector & 0x20) != 0);
    const QByteArray value(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString decoded = DecodeHeaderField(value, charsets[selector & 7]);
    // The 8-bit decoder and the encoder run over the same bytes.
    (void)DecodeEncodedWordsAnsi(value);
    (void)EncodeHeaderText(value, (selector & 0x40) != 0 ? AddressSpecials() : QByteArray(),
                           (selector & 0x80) != 0 ? 'Q' : 'B', THeaderTransfer::Bit8, "utf-8");
    (void)decoded;
    return 0;
}
