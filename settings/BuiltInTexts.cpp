#include "settings/BuiltInTexts.h"

#include "settings/IniStrings.h"

#include <QStringList>

#include <cstddef>
#include <memory>

extern const unsigned char kBuiltInEnglish[];
extern const std::size_t kBuiltInEnglishSize;

namespace {

const QString kMenuSection = QStringLiteral("Menu");

QString KeyOf(const TIniItem& item)
{
    return item.EntryNumber != -1 ? QString::number(item.EntryNumber) : item.EntryName;
}

bool HasKey(TIniStrings& table, int section, const QString& key)
{
    if (section < 0)
        return false;
    table.PushSection(section);
    const bool found = table.IndexOfKey(key) >= 0;
    table.PopSection();
    return found;
}

} // namespace

const TIniStrings& BuiltInTexts()
{
    static const std::unique_ptr<TIniStrings> texts = [] {
        TIniStrings all;
        all.LoadFromBytes(QByteArray(reinterpret_cast<const char*>(kBuiltInEnglish),
                                     static_cast<qsizetype>(kBuiltInEnglishSize)));
        QString text;
        for (int i = 0; i < all.Count(); ++i) {
            const TIniItem item = all.Entry(i);
            const QString section = all.SectionName(item.EntrySection);
            if (section != kMenuSection)
                text += QLatin1Char('[') + section + QStringLiteral("]\n") + KeyOf(item) + QLatin1Char('=') +
                        item.EntryValue + QLatin1Char('\n');
        }
        auto table = std::make_unique<TIniStrings>();
        table->LoadFromBytes(text.toUtf8().prepend("\xEF\xBB\xBF"));
        table->Sort();
        table->Index();
        return table;
    }();
    return *texts;
}

void AddMissingBuiltInTexts(TIniStrings& table)
{
    const TIniStrings& builtIn = BuiltInTexts();
    QStringList lines;
    for (int i = 0; i < builtIn.Count(); ++i) {
        const TIniItem item = builtIn.Entry(i);
        const QString section = builtIn.SectionName(item.EntrySection);
        if (HasKey(table, table.SectionIndexOf(section), KeyOf(item)))
            continue;
        lines << QLatin1Char('[') + section + QLatin1Char(']') << KeyOf(item) + QLatin1Char('=') + item.EntryValue;
    }
    if (lines.isEmpty())
        return;
    for (const QString& line : lines)
        table.AddLine(line);
    table.Sort();
    table.Index();
}
