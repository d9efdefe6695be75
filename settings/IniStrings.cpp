#include "settings/IniStrings.h"

#include "settings/AnsiText.h"
#include "settings/IniErrors.h"
#include "settings/IniSectionStacks.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>
#include <optional>

namespace {

std::atomic<quint64> gNextTableId{1};

int CompareNames(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

// A decimal integer with an optional sign, nothing else.
std::optional<int> DecimalNumber(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    return value;
}

// The numbered form of a lookup key: a decimal number of 0 or more.
std::optional<int> NumberedKey(const QString& key)
{
    const std::optional<int> number = DecimalNumber(key);
    return (number && *number >= 0) ? number : std::nullopt;
}

bool EntryLess(const TIniItem& a, const TIniItem& b)
{
    if (a.EntrySection != b.EntrySection)
        return a.EntrySection < b.EntrySection;
    const bool aNumbered = a.EntryNumber != -1;
    const bool bNumbered = b.EntryNumber != -1;
    if (aNumbered != bNumbered)
        return aNumbered;
    if (aNumbered)
        return a.EntryNumber < b.EntryNumber;
    return CompareNames(a.EntryName, b.EntryName) < 0;
}

// The code page named by a leading ";CodePage=<digits>", else 0.
int DeclaredCodePage(const QByteArray& bytes)
{
    static const QByteArray marker = QByteArrayLiteral(";CodePage");
    const qsizetype equals = bytes.indexOf('=');
    if (equals != marker.size() || qstrnicmp(bytes.constData(), marker.constData(), marker.size()) != 0)
        return 0;
    qint64 value = 0;
    for (qsizetype i = equals + 1; i < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[i])); ++i) {
        value = value * 10 + (bytes[i] - '0');
        if (value > 0xFFFF)
            return 0;
    }
    return static_cast<int>(value);
}

} // namespace

TIniStrings::TIniStrings()
    : FId(gNextTableId.fetch_add(1))
{
}

TIniStrings::~TIniStrings()
{
    TIniSectionStacks::Forget(FId);
}

std::vector<int>& TIniStrings::Stack() const
{
    return TIniSectionStacks::ForTable(FId);
}

void TIniStrings::PushSection(int section)
{
    Stack().push_back(section);
}

void TIniStrings::PushSectionByName(const QString& name)
{
    PushSection(SectionIndexOf(name));
}

void TIniStrings::PopSection()
{
    std::vector<int>& stack = Stack();
    if (stack.size() > 1)
        stack.pop_back();
}

int TIniStrings::CurrentSection() const
{
    return Stack().back();
}

void TIniStrings::SetCurrentSection(int section)
{
    Stack().back() = section;
}

int TIniStrings::SectionIndexOf(const QString& name) const
{
    std::shared_lock lock(FLock);
    return SectionIndexOfLocked(name);
}

int TIniStrings::SectionIndexOfLocked(const QString& name) const
{
    for (size_t i = 0; i < FSections.size(); ++i)
        if (CompareNames(FSections[i].SectionName, name) == 0)
            return static_cast<int>(i);
    return -1;
}

int TIniStrings::SectionCount() const
{
    std::shared_lock lock(FLock);
    return static_cast<int>(FSections.size());
}

QString TIniStrings::SectionName(int section) const
{
    std::shared_lock lock(FLock);
    return (section >= 0 && section < static_cast<int>(FSections.size())) ? FSections[section].SectionName : QString();
}

int TIniStrings::FindNumbered(int section, int number) const
{
    if (section < 0 || section >= static_cast<int>(FSections.size()))
        return -1;
    const TIniSection& range = FSections[section];
    const auto first = FEntries.begin() + range.FirstEntry;
    const auto last = first + range.NumberedCount;
    const auto found = std::lower_bound(first, last, number,
                                        [](const TIniItem& item, int key) { return item.EntryNumber < key; });
    return (found != last && found->EntryNumber == number) ? static_cast<int>(found - FEntries.begin()) : -1;
}

int TIniStrings::FindNamed(int section, const QString& name) const
{
    if (section < 0 || section >= static_cast<int>(FSections.size()))
        return -1;
    const TIniSection& range = FSections[section];
    const auto first = FEntries.begin() + range.FirstEntry + range.NumberedCount;
    const auto last = FEntries.begin() + range.FirstEntry + range.EntryCount;
    const auto found = std::lower_bound(first, last, name, [](const TIniItem& item, const QString& key) {
        return CompareNames(item.EntryName, key) < 0;
    });
    return (found != last && CompareNames(found->EntryName, name) == 0) ? static_cast<int>(found - FEntries.begin()) : -1;
}

int TIniStrings::FindKey(int section, const QString& key) const
{
    if (const std::optional<int> number = NumberedKey(key))
        return FindNumbered(section, *number);
    return FindNamed(section, key);
}

int TIniStrings::IndexOfKey(const QString& key) const
{
    const int section = CurrentSection();
    std::shared_lock lock(FLock);
    return FindKey(section, key);
}

QString TIniStrings::ValueOf(const QString& key) const
{
    const int section = CurrentSection();
    std::shared_lock lock(FLock);
    const int position = FindKey(section, key);
    return position < 0 ? QString() : FEntries[position].EntryValue;
}

QString TIniStrings::SectionValue(const QString& section, const QString& key)
{
    PushSectionByName(section);
    const QString value = ValueOf(key);
    PopSection();
    return value;
}

QString TIniStrings::NumberedValue(int section, int number) const
{
    std::shared_lock lock(FLock);
    return NumberedValueLocked(section, number);
}

QString TIniStrings::NumberedValueLocked(int section, int number) const
{
    if (section < 0 || section >= static_cast<int>(FSections.size()))
        throw EStringListError::IndexError(section);
    const int position = FindNumbered(section, number);
    if (position < 0)
        throw EStringListError::IndexError(number);
    return FEntries[position].EntryValue;
}

QString TIniStrings::NamedValue(int section, const QString& name) const
{
    std::shared_lock lock(FLock);
    return NamedValueLocked(section, name);
}

QString TIniStrings::NamedValueLocked(int section, const QString& name) const
{
    const int position = FindNamed(section, name);
    return position < 0 ? QString() : FEntries[position].EntryValue;
}

void TIniStrings::SetKnownSections(QStringList names)
{
    std::unique_lock lock(FLock);
    FKnownNames = std::move(names);
    FindKnownSectionsLocked();
}

void TIniStrings::FindKnownSectionsLocked()
{
    FKnownIndices.clear();
    for (const QString& name : std::as_const(FKnownNames))
        FKnownIndices.push_back(SectionIndexOfLocked(name));
}

int TIniStrings::KnownSectionIndex(int known) const
{
    std::shared_lock lock(FLock);
    return FKnownIndices.at(known);
}

QString TIniStrings::KnownNumberedValue(int known, int number) const
{
    const int current = CurrentSection();
    std::shared_lock lock(FLock);
    const int section = FKnownIndices.at(known);
    return NumberedValueLocked(section >= 0 ? section : current, number);
}

QString TIniStrings::KnownNamedValue(int known, const QString& name) const
{
    std::shared_lock lock(FLock);
    return NamedValueLocked(FKnownIndices.at(known), name);
}

std::vector<std::pair<QString, QString>> TIniStrings::NamedEntries(int section) const
{
    std::shared_lock lock(FLock);
    std::vector<std::pair<QString, QString>> result;
    if (section < 0 || section >= static_cast<int>(FSections.size()))
        return result;
    const TIniSection& range = FSections[section];
    for (int i = range.FirstEntry + range.NumberedCount; i < range.FirstEntry + range.EntryCount; ++i)
        result.emplace_back(FEntries[i].EntryName, FEntries[i].EntryValue);
    return result;
}

QString TIniStrings::Strings(int number) const
{
    return NumberedValue(CurrentSection(), number);
}

void TIniStrings::PutStrings(int number, const QString& text)
{
    const int section = CurrentSection();
    std::unique_lock lock(FLock);
    const int position = FindNumbered(section, number);
    if (position >= 0) {
        FEntries[position].EntryValue = text;
        return;
    }
    if (section < 0 || section >= static_cast<int>(FSections.size()))
        throw EStringListError::IndexError(section);
    FEntries.push_back({text, QString(), number, section});
    SortLocked();
    IndexLocked();
}

void TIniStrings::Delete(int number)
{
    const int section = CurrentSection();
    std::unique_lock lock(FLock);
    const int position = FindNumbered(section, number);
    if (position < 0)
        throw EStringListError::IndexError(number);
    FEntries.erase(FEntries.begin() + position);
    IndexLocked();
}

int TIniStrings::Count() const
{
    std::shared_lock lock(FLock);
    return static_cast<int>(FEntries.size());
}

void TIniStrings::CheckPosition(int position) const
{
    if (position < 0 || position >= static_cast<int>(FEntries.size()))
        throw EStringListError::IndexError(position);
}

TIniItem TIniStrings::Entry(int position) const
{
    std::shared_lock lock(FLock);
    CheckPosition(position);
    return FEntries[position];
}

int TIniStrings::IndexOfText(const QString& text) const
{
    std::shared_lock lock(FLock);
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (CompareNames(FEntries[i].EntryValue, text) == 0)
            return static_cast<int>(i);
    return -1;
}

void TIniStrings::Exchange(int first, int second)
{
    std::unique_lock lock(FLock);
    CheckPosition(first);
    CheckPosition(second);
    std::swap(FEntries[first], FEntries[second]);
}

void TIniStrings::Move(int from, int to)
{
    std::unique_lock lock(FLock);
    CheckPosition(from);
    CheckPosition(to);
    TIniItem item = std::move(FEntries[from]);
    FEntries.erase(FEntries.begin() + from);
    FEntries.insert(FEntries.begin() + to, std::move(item));
}

int TIniStrings::AddLine(const QString& line)
{
    int section = CurrentSection();
    std::unique_lock lock(FLock);
    const int result = AddLineLocked(line, section);
    FindKnownSectionsLocked();
    SetCurrentSection(section);
    return result;
}

int TIniStrings::AddLineLocked(const QString& line, int& section)
{
    qsizetype start = 0;
    while (start < line.size() && line[start].unicode() <= ' ')
        ++start;
    const QStringView rest = QStringView(line).mid(start);
    if (rest.size() < 3 || rest.startsWith(QLatin1Char(';')))
        return -1;
    if (rest.startsWith(QLatin1Char('['))) {
        QStringView name = rest.trimmed().mid(1);
        if (name.endsWith(QLatin1Char(']')))
            name.chop(1);
        if (name.isEmpty())
            return -1;
        section = SectionIndexOfLocked(name.toString());
        if (section < 0) {
            FSections.push_back({name.toString()});
            section = static_cast<int>(FSections.size()) - 1;
        }
        return -1;
    }
    const qsizetype equals = rest.indexOf(QLatin1Char('='));
    if (equals < 1)
        throw EStringListError::ConversionError(line);
    const QStringView key = rest.left(equals);
    const QString value = rest.mid(equals + 1).toString();
    if (const std::optional<int> number = DecimalNumber(key); number && *number != -1) {
        FEntries.push_back({value, QString(), *number, section});
        return *number;
    }
    FEntries.push_back({value, key.toString(), -1, section});
    return static_cast<int>(FEntries.size()) - 1;
}

void TIniStrings::LoadFromBytes(const QByteArray& bytes)
{
    // A byte-order mark wins over a code page line.
    const int codePage = DecodeByteOrderMarked(bytes) ? 0 : DeclaredCodePage(bytes);
    const QString text = DecodeTextFile(bytes, codePage);
    std::unique_lock lock(FLock);
    FEntries.clear();
    FSections.clear();
    FCodePage = codePage;
    // The loading thread ends in the file's last section, whatever it had
    // chosen before.
    SetCurrentSection(ParseText(text));
    FindKnownSectionsLocked();
}

int TIniStrings::ParseText(const QString& text)
{
    // Every load starts in section 0, the first one the file declares, so
    // that entries before the first header never land in a section of an
    // earlier load or of the caller's choosing.
    int section = 0;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        AddLineLocked(text.mid(start, end - start), section);
        if (end + 1 < text.size() && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return section;
}

void TIniStrings::LoadFromStream(QIODevice& device)
{
    LoadFromBytes(device.readAll());
}

void TIniStrings::LoadFromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EIniFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    LoadFromStream(file);
}

int TIniStrings::CodePage() const
{
    std::shared_lock lock(FLock);
    return FCodePage;
}

QString TIniStrings::Text() const
{
    std::shared_lock lock(FLock);
    QString text;
    for (size_t s = 0; s < FSections.size(); ++s) {
        text += QLatin1Char('[') + FSections[s].SectionName + QLatin1String("]\n");
        for (const bool numbered : {true, false})
            for (const TIniItem& item : FEntries) {
                if (item.EntrySection != static_cast<int>(s) || (item.EntryNumber != -1) != numbered)
                    continue;
                const QString key = numbered ? QString::number(item.EntryNumber) : item.EntryName;
                text += key + QLatin1Char('=') + item.EntryValue + QLatin1Char('\n');
            }
        text += QLatin1Char('\n');
    }
    return text;
}

void TIniStrings::Assign(const TIniStrings& other)
{
    if (&other == this)
        return;
    {
        std::scoped_lock lock(FLock, other.FLock);
        FEntries = other.FEntries;
        FSections = other.FSections;
        FCodePage = other.FCodePage;
        FindKnownSectionsLocked();
    }
    SetCurrentSection(0);
}

void TIniStrings::TakeOver(TIniStrings& other)
{
    if (&other == this)
        return;
    std::scoped_lock lock(FLock, other.FLock);
    FEntries = std::exchange(other.FEntries, {});
    FSections = std::exchange(other.FSections, {});
    FCodePage = std::exchange(other.FCodePage, 0);
    // In the same step as the content: a reader sees the old table or the
    // new one, never a mixture.
    FindKnownSectionsLocked();
    other.FindKnownSectionsLocked();
}

void TIniStrings::Sort()
{
    std::unique_lock lock(FLock);
    SortLocked();
}

void TIniStrings::SortLocked()
{
    // Stable, so that entries with equal keys keep their file order.
    std::stable_sort(FEntries.begin(), FEntries.end(), EntryLess);
}

void TIniStrings::Index()
{
    std::unique_lock lock(FLock);
    IndexLocked();
}

void TIniStrings::IndexLocked()
{
    for (TIniSection& section : FSections)
        section.FirstEntry = section.NumberedCount = section.EntryCount = 0;
    int previous = -1;
    for (size_t i = 0; i < FEntries.size(); ++i) {
        const TIniItem& item = FEntries[i];
        if (item.EntrySection < 0 || item.EntrySection >= static_cast<int>(FSections.size()))
            throw EStringListError::IndexError(item.EntrySection);
        TIniSection& section = FSections[item.EntrySection];
        if (item.EntrySection != previous) {
            section.FirstEntry = static_cast<int>(i);
            previous = item.EntrySection;
        }
        ++section.EntryCount;
        if (item.EntryNumber != -1)
            ++section.NumberedCount;
    }
}

void TIniStrings::Clear()
{
    std::unique_lock lock(FLock);
    FEntries.clear();
    FSections.clear();
    FindKnownSectionsLocked();
}
