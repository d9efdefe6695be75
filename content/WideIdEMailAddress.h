#pragma once

#include <QString>

#include <memory>
#include <vector>

// One e-mail address of a decoded header field: a display name and the
// address proper.
class TWideIdEMailAddressItem
{
public:
    TWideIdEMailAddressItem() = default;
    TWideIdEMailAddressItem(QString name, QString address);

    [[nodiscard]] const QString& Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }
    [[nodiscard]] const QString& Address() const { return FAddress; }
    void SetAddress(const QString& address) { FAddress = address; }

    // The part of the address before its last at sign, and the part after it.
    [[nodiscard]] QString User() const;
    [[nodiscard]] QString Domain() const;

    // Parses one address written as a display name and an address in angle
    // brackets, a bare address, or a bare address and a comment.
    void SetAddressText(const QString& text);
    // The item written back as header text: the name (quoted when it needs
    // to be) followed by the address in angle brackets, or the bare address.
    [[nodiscard]] QString AddressText() const;

private:
    QString FName;
    QString FAddress;
};

// An ordered, owned list of addresses, filled by parsing a header field.
class TWideIdEMailAddressList
{
public:
    // Clears the list and parses a comma-separated address list (RFC 5322
    // address-list: quoted names, comments, groups). Elements without an
    // address are left out. With a limit, parsing stops once the list holds
    // that many addresses (the message lists need only the first).
    void SetAddressListText(const QString& text, int limit = 0);

    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TWideIdEMailAddressItem& Item(int index) { return *FItems.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] const TWideIdEMailAddressItem& Item(int index) const
    {
        return *FItems.at(static_cast<std::size_t>(index));
    }
    TWideIdEMailAddressItem& Add();
    void Clear() { FItems.clear(); }

private:
    void AddParsed(const QString& text);

    std::vector<std::unique_ptr<TWideIdEMailAddressItem>> FItems;
};
