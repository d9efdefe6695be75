#include "settings/GlobStrings.h"

#include "settings/BuiltInTexts.h"
#include "settings/IniErrors.h"
#include "settings/TextFormat.h"
#include "settings/UiHooks.h"

#include <QObject>
#include <QRegularExpression>

#include <atomic>

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
    Assign(BuiltInTexts());
    TakeSectionIndices();
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
    TakeOver(loaded);
    TakeSectionIndices();
    {
        std::lock_guard lock(FNamesMutex);
        FFileName = path;
    }
    ApplyMenu(nullptr);
}

void TGlobStrings::TakeSectionIndices()
{
    FCommonSection = SectionIndexOf(QStringLiteral("Common"));
    FErrorSection = SectionIndexOf(QStringLiteral("Error"));
    FShellErrorSection = SectionIndexOf(QStringLiteral("ShellError"));
    FOutlookErrorSection = SectionIndexOf(QStringLiteral("OutlookError"));
    FHintSection = SectionIndexOf(QStringLiteral("Hint"));
    FParaCopierSection = SectionIndexOf(QStringLiteral("ParaCopier"));
    const QString name = NamedValue(SectionIndexOf(QStringLiteral("Program")), QStringLiteral("Name"));
    std::lock_guard lock(FNamesMutex);
    if (!name.isEmpty())
        FDisplayName = name;
}

QString TGlobStrings::TextOf(int number, int section) const
{
    if (number < 0)
        return {};
    return NumberedValue(section >= 0 ? section : CurrentSection(), number);
}

QString TGlobStrings::TextIn(int number, const QString& section) const
{
    if (number < 0)
        return {};
    return NumberedValue(SectionIndexOf(section), number);
}

QString TGlobStrings::TextOr(int number, int section, const QString& fallback) const
{
    try {
        return TextOf(number, section);
    } catch (const EStringListError&) {
        return fallback;
    }
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

QString TGlobStrings::HintText(const QString& name) const
{
    return NamedValue(FHintSection, name);
}

QString TGlobStrings::CommonText(const QString& name) const
{
    return NamedValue(FCommonSection, name);
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
