#include "settings/History.h"

#include "settings/SettingsStore.h"

#include "base/Exception.h"

THistory::THistory(const QString& storeKey)
    : FStore(std::make_unique<TRegistryStore>(storeKey + QStringLiteral("\\History")))
{
}

THistory::~THistory() = default;

QString THistory::Key(int n) const
{
    return FPrefix + QString::number(n);
}

QString THistory::Get(int n) const
{
    if (n < 0 || n >= kMaxEntries)
        return {};
    try {
        return FStore->ReadString(QString(), Key(n), QString());
    } catch (const Exception&) {
        return {};
    }
}

// Writes without flushing; an empty text removes the value.
void THistory::Set(int n, const QString& text)
{
    if (text.isEmpty())
        FStore->DeleteKey(QString(), Key(n));
    else
        FStore->WriteString(QString(), Key(n), text);
}

void THistory::Flush()
{
    try {
        FStore->Flush(false);
    } catch (const Exception&) {
        // A history that cannot be written is not worth a message box.
    }
}

int THistory::Count() const
{
    for (int n = kMaxEntries - 1; n >= 0; --n)
        if (!Get(n).isEmpty())
            return n + 1;
    return 0;
}

void THistory::Put(int n, const QString& text)
{
    if (n < 0 || n >= kMaxEntries)
        return;
    Set(n, text);
    Flush();
}

void THistory::Delete(int n)
{
    const int count = Count();
    if (n < 0 || n >= count)
        return;
    for (int i = n; i < count - 1; ++i)
        Set(i, Get(i + 1));
    Set(count - 1, QString());
    Flush();
}

void THistory::SelectHistory(const QString& prefix, const QString& text)
{
    FPrefix = prefix;
    if (text.isEmpty())
        return;
    int count = Count();
    for (int p = 0; p < count; ++p) {
        if (Get(p).compare(text, Qt::CaseInsensitive) != 0)
            continue;
        if (p == 0)
            return;
        for (int i = p; i < count - 1; ++i)
            Set(i, Get(i + 1));
        Set(--count, QString());
        break;
    }
    for (int i = std::min(count, kMaxEntries - 1); i > 0; --i)
        Set(i, Get(i - 1));
    Set(0, text);
    Flush();
}

void THistory::Clear()
{
    FStore->EraseSection(QString());
    Flush();
}
