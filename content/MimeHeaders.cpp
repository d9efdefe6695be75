#include "content/MimeHeaders.h"

#include <algorithm>

int TMimeHeaders::IndexOf(QByteArrayView name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QByteArray TMimeHeaders::Value(QByteArrayView name) const
{
    const int index = IndexOf(name);
    return index < 0 ? QByteArray() : FItems[index].Value;
}

QList<QByteArray> TMimeHeaders::Values(QByteArrayView name) const
{
    QList<QByteArray> values;
    for (const TMimeHeader& header : FItems)
        if (header.Name.compare(name, Qt::CaseInsensitive) == 0)
            values.append(header.Value);
    return values;
}

void TMimeHeaders::Add(const QByteArray& name, const QByteArray& value)
{
    FItems.append({name, value});
}

void TMimeHeaders::Set(const QByteArray& name, const QByteArray& value)
{
    const int index = IndexOf(name);
    if (index < 0)
        Add(name, value);
    else
        FItems[index].Value = value;
}

void TMimeHeaders::Remove(QByteArrayView name)
{
    FItems.removeIf([name](const TMimeHeader& header) { return header.Name.compare(name, Qt::CaseInsensitive) == 0; });
}

QByteArray TMimeHeaders::Text() const
{
    QByteArray text;
    for (const TMimeHeader& header : FItems)
        text += header.Name + ": " + header.Value + "\r\n";
    return text;
}

QByteArray TMimeHeaders::Unfold(QByteArrayView raw)
{
    QByteArray value(raw.size(), Qt::Uninitialized);
    char* end = std::remove_copy_if(raw.begin(), raw.end(), value.data(), [](char c) { return c == '\r' || c == '\n'; });
    value.truncate(end - value.constData());
    return value.trimmed();
}
