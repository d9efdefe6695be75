#pragma once

#include <QByteArray>
#include <QList>

// One header field: its name and its raw value, 8-bit bytes exactly as the
// message holds them, folded lines joined and the leading blanks of the
// value removed.
struct TMimeHeader
{
    QByteArray Name;
    QByteArray Value;
};

// An ordered list of header fields; names compare ignoring ASCII case.
class TMimeHeaders
{
public:
    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] bool IsEmpty() const { return FItems.isEmpty(); }
    [[nodiscard]] const TMimeHeader& At(int index) const { return FItems.at(index); }
    [[nodiscard]] const QList<TMimeHeader>& Items() const { return FItems; }

    // Index of the first field of that name; -1 when none.
    [[nodiscard]] int IndexOf(QByteArrayView name) const;
    [[nodiscard]] bool Contains(QByteArrayView name) const { return IndexOf(name) >= 0; }
    // The first value of that name; empty when none.
    [[nodiscard]] QByteArray Value(QByteArrayView name) const;
    // Every value of that name, in order.
    [[nodiscard]] QList<QByteArray> Values(QByteArrayView name) const;

    void Add(const QByteArray& name, const QByteArray& value);
    // Replaces the first field of that name, or appends one.
    void Set(const QByteArray& name, const QByteArray& value);
    // Removes every field of that name.
    void Remove(QByteArrayView name);
    void Clear() { FItems.clear(); }

    // The fields as header text, one "Name: value" line each, CR LF ended.
    [[nodiscard]] QByteArray Text() const;

    // Unfolds a raw value: CR and LF are dropped (the blank that starts a
    // continuation line stays), then blanks at both ends are trimmed.
    [[nodiscard]] static QByteArray Unfold(QByteArrayView raw);

private:
    QList<TMimeHeader> FItems;
};
