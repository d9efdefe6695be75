#include "content/CharsetNames.h"

#include "content/CharsetNameTable.h"

#include <QHash>

#include <vector>

namespace {

struct TCharsetEntry
{
    const char* Name;
    CharsetId Canonical;
};

// Lower-cases ASCII letters only, so that lookups do not depend on the locale.
QByteArray AsciiLower(QByteArrayView name)
{
    QByteArray result(name.data(), name.size());
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

// The table unpacked into identifiers, with the lower-cased index that
// CharsetFromName searches. Built on first use; function-local statics are
// initialised once even when several threads arrive together.
class TCharsetTable
{
public:
    TCharsetTable()
    {
        FEntries.push_back({"", 0});
        CharsetId canonical = 0;
        for (std::size_t i = 0; i < kCharsetNameTableSize; ++i) {
            const char* name = kCharsetNameTable[i];
            if (name == nullptr) {
                canonical = 0;
                ++FGroups;
                continue;
            }
            const auto id = static_cast<CharsetId>(FEntries.size());
            if (canonical == 0)
                canonical = id;
            FEntries.push_back({name, canonical});
            // The first of two equal names wins, as a search from the top would.
            const QByteArray key = AsciiLower(name);
            if (!FIndex.contains(key))
                FIndex.insert(key, id);
        }
    }

    [[nodiscard]] const TCharsetEntry* Entry(CharsetId id) const
    {
        return id < FEntries.size() ? &FEntries[id] : nullptr;
    }
    [[nodiscard]] CharsetId Find(const QByteArray& lowerName) const { return FIndex.value(lowerName, 0); }
    [[nodiscard]] int NameCount() const { return static_cast<int>(FEntries.size()) - 1; }
    [[nodiscard]] int GroupCount() const { return FGroups; }

private:
    std::vector<TCharsetEntry> FEntries;
    QHash<QByteArray, CharsetId> FIndex;
    int FGroups = 0;
};

const TCharsetTable& Table()
{
    static const TCharsetTable table;
    return table;
}

} // namespace

int CharsetNameCount()
{
    return Table().NameCount();
}

int CharsetGroupCount()
{
    return Table().GroupCount();
}

QString CharsetName(CharsetId id)
{
    const TCharsetEntry* entry = Table().Entry(id);
    return entry != nullptr ? QString::fromLatin1(entry->Name) : QString();
}

CharsetId CharsetFromName(const QString& name)
{
    if (name.isEmpty())
        return 0;
    // Every name in the table is printable ASCII, so a label with anything
    // else cannot match; this also keeps the Latin-1 narrowing below exact.
    for (QChar c : name) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7E)
            return 0;
    }
    return Table().Find(AsciiLower(name.toLatin1()));
}

QString NormalizeCharsetName(const QString& name)
{
    QString result = name;
    for (QChar& c : result) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() - 'A' + 'a');
    }
    if (result.size() > 2 && result.startsWith(QLatin1String("x-")))
        result.remove(0, 2);
    return result;
}

CharsetId CanonicalCharset(CharsetId id)
{
    const TCharsetEntry* entry = Table().Entry(id);
    return entry != nullptr ? entry->Canonical : 0;
}
