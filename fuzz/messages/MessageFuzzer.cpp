// Feeds arbitrary bytes to the MIME parser as a message source, derives the
// list fields from the result the way a message list does, takes the text
// body, and writes the message back, so that parsing, decoding, field
// derivation and writing all see hostile input.

#include "base/FastMemoryStream.h"
#include "base/SyncItems.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "messages/MesgFields.h"
#include "messages/MesgItem.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TMimeParser parser;
    static TSyncItems owner;
    const QByteArray source(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TMimeMessage message;
    parser.Parse(source, message);
    TMesgItem item(&owner);
    item.DeriveFields(message, DecodeListHeader(message));
    QByteArray charset;
    QByteArray text;
    TextBody(message, charset, text);
    TFastMemoryStream written;
    WriteMessage(message, written);
    return 0;
}
