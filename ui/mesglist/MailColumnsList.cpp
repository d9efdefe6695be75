#include "ui/mesglist/MailColumnsList.h"

#include "messages/MesgFields.h"
#include "settings/IniFiler.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<const char*, kMailColumnCount> kFieldNames = {
    "mcSubject", "mcFromRealName", "mcFromEmail", "mcToRealName", "mcToEmail", "mcDateSent",
    "mcDateReceived", "mcSize", "mcAttachment", "mcPriority", "mcFlagged",
};

const QString kCountKey = QStringLiteral("ColumnsCount");

QString PositionKey(int position)
{
    return QStringLiteral("Column%1").arg(position);
}

bool IsField(int field)
{
    return field >= 0 && field < kMailColumnCount;
}

} // namespace

EListError EListError::IndexError(int index)
{
    return EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

TMailColumnsList::TMailColumnsList(QObject* owner)
    : TIniComponent(owner)
    , FFields{mcSubject, mcFromRealName, mcFromEmail}
{
    setObjectName(QStringLiteral("MailColumnsList"));
}

void TMailColumnsList::Assign(const TMailColumnsList& other)
{
    Replace(other.FFields);
}

void TMailColumnsList::SetFields(const std::vector<int>& fields)
{
    std::vector<unsigned char> kept;
    for (int field : fields) {
        if (IsField(field) && std::find(kept.begin(), kept.end(), field) == kept.end())
            kept.push_back(static_cast<unsigned char>(field));
    }
    Replace(std::move(kept));
}

std::vector<int> TMailColumnsList::Fields() const
{
    return {FFields.begin(), FFields.end()};
}

void TMailColumnsList::Replace(std::vector<unsigned char> fields)
{
    if (fields == FFields)
        return;
    FFields = std::move(fields);
    Q_EMIT Changed();
}

void TMailColumnsList::CheckPosition(int position, int limit) const
{
    if (position < 0 || position >= limit)
        throw EListError::IndexError(position);
}

int TMailColumnsList::Field(int position) const
{
    CheckPosition(position, Count());
    return FFields[static_cast<std::size_t>(position)];
}

int TMailColumnsList::IndexOfField(int field) const
{
    const auto found = std::find(FFields.begin(), FFields.end(), field);
    return found == FFields.end() ? -1 : static_cast<int>(found - FFields.begin());
}

int TMailColumnsList::AddField(int field)
{
    const int position = IndexOfField(field);
    if (position >= 0 || !IsField(field))
        return position;
    std::vector<unsigned char> fields = FFields;
    fields.push_back(static_cast<unsigned char>(field));
    Replace(std::move(fields));
    return Count() - 1;
}

void TMailColumnsList::InsertField(int position, int field)
{
    CheckPosition(position, Count() + 1);
    if (!IsField(field) || IndexOfField(field) == position)
        return;
    std::vector<unsigned char> fields = FFields;
    const auto old = std::find(fields.begin(), fields.end(), field);
    if (old != fields.end())
        fields.erase(old);
    position = std::min(position, static_cast<int>(fields.size()));
    fields.insert(fields.begin() + position, static_cast<unsigned char>(field));
    Replace(std::move(fields));
}

void TMailColumnsList::MoveField(int from, int to)
{
    CheckPosition(from, Count());
    CheckPosition(to, Count());
    std::vector<unsigned char> fields = FFields;
    const unsigned char field = fields[static_cast<std::size_t>(from)];
    fields.erase(fields.begin() + from);
    fields.insert(fields.begin() + to, field);
    Replace(std::move(fields));
}

void TMailColumnsList::DeleteField(int position)
{
    CheckPosition(position, Count());
    std::vector<unsigned char> fields = FFields;
    fields.erase(fields.begin() + position);
    Replace(std::move(fields));
}

int TMailColumnsList::HiddenCount() const
{
    return kMailColumnCount - Count();
}

int TMailColumnsList::HiddenField(int index) const
{
    CheckPosition(index, HiddenCount());
    for (int field = 0; field < kMailColumnCount; ++field) {
        if (IndexOfField(field) < 0 && index-- == 0)
            return field;
    }
    return -1;
}

void TMailColumnsList::AddFirstHidden()
{
    if (HiddenCount() > 0)
        AddField(HiddenField(0));
}

bool TMailColumnsList::IsTextField(int field)
{
    return field >= mcSubject && field <= mcToEmail;
}

bool TMailColumnsList::IsFirstTextColumn(int position) const
{
    if (position < 0 || position >= Count() || !IsTextField(Field(position)))
        return false;
    return std::none_of(FFields.begin(), FFields.begin() + position, [](int field) { return IsTextField(field); });
}

bool TMailColumnsList::HasTextColumn() const
{
    return std::any_of(FFields.begin(), FFields.end(), [](int field) { return IsTextField(field); });
}

QString TMailColumnsList::Caption(int position) const
{
    return MesgFieldCaption(Field(position), true);
}

QString TMailColumnsList::FieldName(int field)
{
    return IsField(field) ? QLatin1String(kFieldNames[static_cast<std::size_t>(field)]) : QString();
}

int TMailColumnsList::FieldOfName(const QString& name)
{
    const QString trimmed = name.trimmed();
    for (int field = 0; field < kMailColumnCount; ++field) {
        if (trimmed.compare(QLatin1String(kFieldNames[static_cast<std::size_t>(field)]), Qt::CaseInsensitive) == 0)
            return field;
    }
    return mcSubject;
}

void TMailColumnsList::DefineIniProperties(TIniFiler& filer)
{
    if (!filer.Loading()) {
        filer.WriteInt(kCountKey, Count());
        for (int position = 0; position < Count(); ++position)
            filer.WriteValue(PositionKey(position), FieldName(Field(position)));
        return;
    }
    const int count = filer.ReadInt(kCountKey);
    if (count <= 0)
        return;
    // A count far beyond the keys there are reads no further than the keys:
    // a damaged file must not make the pass spin.
    const int keys = static_cast<int>(filer.IniFile().KeyNames(filer.Section()).size());
    std::vector<int> fields;
    for (int position = 0; position < std::min(count, keys); ++position)
        fields.push_back(FieldOfName(filer.ReadValue(PositionKey(position))));
    SetFields(fields);
}

bool TMailColumnsList::Supports(int kind) const
{
    return kind == okAdd || kind == okDelete || kind == okMoveDown || kind == okMoveUp;
}
