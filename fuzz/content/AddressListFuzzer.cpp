// Feeds arbitrary text to SetAddressListText and writes every item back.
// The bytes are read as UTF-8 (ill-formed parts become U+FFFD), so any
// UTF-16 text a decoded header can hold is reachable.

#include "content/IdCoderHeader.h"
#include "content/UnicodeCoders.h"
#include "content/WideIdEMailAddress.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = DecodeUtf8(QByteArrayView(data, static_cast<qsizetype>(size)));
    TWideIdEMailAddressList list;
    list.SetAddressListText(text);
    for (int i = 0; i < list.Count(); ++i) {
        TWideIdEMailAddressItem reparsed;
        reparsed.SetAddressText(list.Item(i).AddressText());
        (void)reparsed.User();
        (void)reparsed.Domain();
    }
    (void)EncodeMailboxList(list, 'B', THeaderTransfer::Bit8, "utf-8", true);
    return 0;
}
