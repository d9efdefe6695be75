#include "settings/GlobStrings.h"

#include "settings/BuiltInTexts.h"
#include "settings/IniErrors.h"
#include "settings/TextFormat.h"
#include "settings/UiHooks.h"

#include <QObject>
#include <QRegularExpression>

#include <atomic>
#include <functional>

namespace {

std::atomic<TGlobStrings*> gLanguageTable{nullptr};

const QString kBuiltInName = QStringLiteral("Vellumo");

// The captions of every item whose component name contains a "Menu" key:
// only the first such item of a menu, every such action of a list.
void ApplyCaptions(const std::vector<std::pair<QString, QString>>& entries, const QList<QObject*>& items, bool firstOnly)
{
    for (const auto& [key, caption] : entries)
        for (QObject* item : items) {
            if (!item->objectName().contains(key, Qt::CaseInsensitive))
                continue;
            SetMenuCaption(item, caption);
            if (firstOnly)
                break;
        }
}

// The text of a numbered lookup, or `fallback` when the entry does not exist.
QString OrFallback(const std::function<QString()>& lookup, const QString& fallback)
{
    try {
        return lookup();
    } catch (const EStringListError&) {
        return fallback;
    }
}

} // namespace

TGlobStrings& Lang()
{
    static TGlobStrings empty;
    TGlobStrings* table = gLanguageTable.load(std::memory_order_acquire);
    return table ? *table : empty;
}

void SetLang(TGlobStrings* table)
{
    gLanguageTable.store(table, std::memory_order_release);
}

QString ProgramDisplayName()
{
    return Lang().DisplayName();
}

TGlobStrings::TGlobStrings()
{
    // In the order of TLangSection.
    SetKnownSections({QStringLiteral("Common"), QStringLiteral("Error"), QStringLiteral("ShellError"),
                      QStringLiteral("OutlookError"), QStringLiteral("Hint"), QStringLiteral("ParaCopier")});
    // Until a file is loaded, the built-in English texts answer.
    Assign(BuiltInTexts());
}

int TGlobStrings::SectionIndex(TLangSection section) const
{
    return KnownSectionIndex(static_cast<int>(section));
}

QString TGlobStrings::FileName() const
{
    std::lock_guard lock(FNamesMutex);
    return FFileName;
}

QString TGlobStrings::DisplayName() const
{
    std::lock_guard lock(FNamesMutex);
    return FDisplayName.isEmpty() ? kBuiltInName : FDisplayName;
}

void TGlobStrings::LoadLanguage(const QString& path)
{
    TIniStrings loaded;
    loaded.LoadFromFile(path);
    loaded.Sort();
    // Indexing finds entries outside any section (a file without a header),
    // so it runs before the old texts are given up.
    loaded.Index();
    AddMissingBuiltInTexts(loaded);
    const QString name = loaded.NamedValue(loaded.SectionIndexOf(QStringLiteral("Program")), QStringLiteral("Name"));
    // The content and the indices of the common sections change together.
    TakeOver(loaded);
    {
        std::lock_guard lock(FNamesMutex);
        FFileName = path;
        if (!name.isEmpty())
            FDisplayName = name;
    }
    ApplyMenu(nullptr);
}

QString TGlobStrings::TextOf(int number, int section) const
{
    if (number < 0)
        return {};
    return NumberedValue(section >= 0 ? section : CurrentSection(), number);
}

QString TGlobStrings::TextOf(int number, TLangSection section) const
{
    if (number < 0)
        return {};
    return KnownNumberedValue(static_cast<int>(section), number);
}

QString TGlobStrings::TextIn(int number, const QString& section) const
{
    if (number < 0)
        return {};
    return NumberedValue(SectionIndexOf(section), number);
}

QString TGlobStrings::TextOr(int number, int section, const QString& fallback) const
{
    return OrFallback([&] { return TextOf(number, section); }, fallback);
}

QString TGlobStrings::TextOr(int number, TLangSection section, const QString& fallback) const
{
    return OrFallback([&] { return TextOf(number, section); }, fallback);
}

QString TGlobStrings::FormatText(const QString& text, const QVariantList& args)
{
    static const QRegularExpression lineBreak(QStringLiteral("/n"), QRegularExpression::CaseInsensitiveOption);
    return FormatArgs(QString(text).replace(lineBreak, QStringLiteral("\r\n")), args);
}

QString TGlobStrings::FormatNumbered(int number, const QVariantList& args) const
{
    return FormatText(Strings(number), args);
}

QString TGlobStrings::FormatTextOf(int number, int section, const QVariantList& args) const
{
    return FormatText(TextOf(number, section), args);
}

QString TGlobStrings::FormatTextOf(int number, TLangSection section, const QVariantList& args) const
{
    return FormatText(TextOf(number, section), args);
}

QString TGlobStrings::HintText(const QString& name) const
{
    return KnownNamedValue(static_cast<int>(TLangSection::Hint), name);
}

QString TGlobStrings::CommonText(const QString& name) const
{
    return KnownNamedValue(static_cast<int>(TLangSection::Common), name);
}

QString TGlobStrings::OkText() const
{
    return CommonText(QStringLiteral("Ok"));
}

QString TGlobStrings::CancelText() const
{
    return CommonText(QStringLiteral("Cancel"));
}

QString TGlobStrings::NoneText() const
{
    return CommonText(QStringLiteral("None"));
}

void TGlobStrings::ApplyMenu(QObject* menu)
{
    const int section = SectionIndexOf(QStringLiteral("Menu"));
    if (section < 0 || !FMenusEnabled) {
        FMenusEnabled = true;
        return;
    }
    QObject* target = menu ? menu : MainMenu();
    if (!target)
        return;
    const auto entries = NamedEntries(section);
    ApplyCaptions(entries, MenuItemsOf(target), true);
    ApplyCaptions(entries, MenuActionsOf(target), false);
}

void TGlobStrings::ApplySharedMenus()
{
    const int section = SectionIndexOf(QStringLiteral("Menu"));
    if (section < 0 || !FMenusEnabled)
        return;
    const auto entries = NamedEntries(section);
    for (QObject* menu : SharedMenus())
        ApplyCaptions(entries, MenuItemsOf(menu), true);
    ApplyCaptions(entries, SharedActions(), false);
}
