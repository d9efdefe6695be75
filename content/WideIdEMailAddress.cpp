#include "content/WideIdEMailAddress.h"

#include <algorithm>

namespace {

// RFC 5322 atext: the characters an unquoted local part or word may hold.
bool IsAtomChar(QChar c)
{
    static const QString atom = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890!#$%&'*+-/=?_`{}|~");
    return atom.contains(c);
}

bool IsDisplayNameChar(QChar c)
{
    return c == QLatin1Char(' ') || IsAtomChar(c);
}

bool IsSpaceOrTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString TrimSpacesAndTabs(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && IsSpaceOrTab(s[begin]))
        ++begin;
    while (end > begin && IsSpaceOrTab(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

bool IsBlank(QStringView s)
{
    return s.trimmed().isEmpty();
}

// RFC 5322 quoted-string: backslash and double quote escaped.
QString Quoted(const QString& s)
{
    QString result;
    result.reserve(s.size() + 2);
    result += QLatin1Char('"');
    for (QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            result += QLatin1Char('\\');
        result += c;
    }
    result += QLatin1Char('"');
    return result;
}

// The position of the first character of `set` at or after `from`; -1 when none.
qsizetype FindAny(const QString& text, QLatin1StringView set, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (set.contains(text[i]))
            return i;
    }
    return -1;
}

// The parser of one address (name-addr, addr-spec or addr-spec with a
// comment). Text is taken in pieces between the characters that matter; each
// piece joins the name or the address depending on where the scan is.
class TAddressParser
{
public:
    explicit TAddressParser(const QString& text) : FText(text) {}

    void Run();
    [[nodiscard]] QString Name() const { return FName.trimmed(); }
    [[nodiscard]] QString Address() const { return FAddress.trimmed(); }

private:
    [[nodiscard]] QString Before(qsizetype i) const { return FText.mid(FPos, i - FPos); }
    void JoinPart(const QString& piece) { (FInAddress ? FAddress : FName) += piece; }
    // Handles the character at i; returns false when parsing ends.
    bool Step(qsizetype i);
    void QuotedText(qsizetype open);
    void Comment(qsizetype open);
    void Finish();

    const QString& FText;
    QString FName;
    QString FAddress;
    qsizetype FPos = 0;
    qsizetype FFrom = 0;
    bool FInAddress = false; // inside the address part
    bool FAngle = false;     // the address part opened with "<"
    bool FAngleClosed = false;
    bool FAfterAt = false;
};

void TAddressParser::Run()
{
    while (FPos < FText.size()) {
        const qsizetype i = FindAny(FText, QLatin1StringView("<>@\"(.\\ \t"), std::max(FPos, FFrom));
        if (i < 0)
            break;
        FFrom = i + 1;
        if (!Step(i))
            return;
    }
    Finish();
}

bool TAddressParser::Step(qsizetype i)
{
    const QChar c = FText[i];
    switch (c.unicode()) {
    case '<':
        FName = TrimSpacesAndTabs(FName + Before(i));
        FInAddress = FAngle = true;
        FPos = i + 1;
        break;
    case '>':
        if (!FInAddress || !FAngle)
            break; // an ordinary character outside an angle address
        FAddress += Before(i).trimmed();
        FInAddress = false;
        FAngleClosed = true;
        FPos = i + 1;
        break;
    case '@':
        if (!FInAddress && FAngleClosed) {
            FName += FText.mid(FPos);
            FPos = FText.size();
            return false;
        }
        FAddress += FText.mid(FPos, i + 1 - FPos);
        FInAddress = FAfterAt = true;
        FPos = i + 1;
        break;
    case '"':
        QuotedText(i);
        break;
    case '(':
        Comment(i);
        break;
    case '.':
        if (FInAddress && FAngle) {
            FAddress += TrimSpacesAndTabs(Before(i)) + QLatin1Char('.');
            FPos = i + 1;
        } else if (FInAddress) {
            FAddress += FText.mid(FPos, i + 1 - FPos);
            FPos = i + 1;
        }
        break;
    case '\\':
        // Outside quotes a backslash drops the text before it and escapes
        // the next character away.
        FPos = std::min(i + 2, FText.size());
        FFrom = FPos;
        break;
    default: // space or TAB
        if (i == FPos) {
            FPos = i + 1;
        } else if (FInAddress && FAfterAt) {
            FAddress += Before(i).trimmed();
            FPos = i + 1;
            // A bare address ends at the first space after its domain.
            if (!FAngle)
                FInAddress = false;
        } else {
            FName += FText.mid(FPos, i + 1 - FPos);
            FPos = i + 1;
        }
        break;
    }
    return true;
}

// RFC 5322 quoted-string; its text joins the address inside angle brackets
// (a quoted local part) and the name elsewhere.
void TAddressParser::QuotedText(qsizetype open)
{
    JoinPart(Before(open));
    QString quoted;
    qsizetype j = open + 1;
    while (j < FText.size() && FText[j] != QLatin1Char('"')) {
        if (FText[j] == QLatin1Char('\\') && j + 1 < FText.size())
            ++j;
        quoted += FText[j++];
    }
    quoted = quoted.trimmed();
    (FInAddress && FAngle ? FAddress : FName) += quoted;
    FPos = FFrom = std::min(j + 1, FText.size());
}

// RFC 5322 comment: nested brackets and quoted pairs; dropped.
void TAddressParser::Comment(qsizetype open)
{
    JoinPart(Before(open));
    int depth = 1;
    qsizetype j = open + 1;
    while (j < FText.size() && depth > 0) {
        const QChar c = FText[j];
        if (c == QLatin1Char('\\'))
            ++j;
        else if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        ++j;
    }
    FPos = FFrom = std::min(j, FText.size());
}

void TAddressParser::Finish()
{
    const QString rest = FText.mid(FPos);
    if (FInAddress)
        FAddress += rest.trimmed();
    else if (!FAddress.isEmpty() && !FAngleClosed)
        FName += rest; // words after a bare address
    // Text after a plain name without any address is not kept.
}

} // namespace

TWideIdEMailAddressItem::TWideIdEMailAddressItem(QString name, QString address)
    : FName(std::move(name)), FAddress(std::move(address))
{
}

QString TWideIdEMailAddressItem::User() const
{
    const qsizetype at = FAddress.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? FAddress : FAddress.left(at);
}

QString TWideIdEMailAddressItem::Domain() const
{
    const qsizetype at = FAddress.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : FAddress.mid(at + 1);
}

void TWideIdEMailAddressItem::SetAddressText(const QString& text)
{
    FName.clear();
    FAddress.clear();
    const QString trimmed = text.trimmed();
    if (FindAny(trimmed, QLatin1StringView("(\"< @\t"), 0) < 0) {
        FAddress = trimmed;
        return;
    }
    TAddressParser parser(trimmed);
    parser.Run();
    FName = parser.Name();
    FAddress = parser.Address();
}

QString TWideIdEMailAddressItem::AddressText() const
{
    QString form;
    if (FAddress.isEmpty()) {
        form = FName.isEmpty() ? QString() : QStringLiteral("<>");
    } else {
        const QString user = User();
        const auto special = std::find_if(user.begin(), user.end(), [](QChar c) { return !IsAtomChar(c); });
        if (special != user.end() && *special != QLatin1Char('.')) {
            const bool hasAt = FAddress.contains(QLatin1Char('@'));
            form = QLatin1Char('<') + Quoted(user) + (hasAt ? QLatin1Char('@') + Domain() : QString())
                   + QLatin1Char('>');
        } else {
            form = FName.isEmpty() ? FAddress : QLatin1Char('<') + FAddress + QLatin1Char('>');
        }
    }
    if (FName.isEmpty() || FName.compare(FAddress, Qt::CaseInsensitive) == 0)
        return form;
    const bool plainName = std::all_of(FName.begin(), FName.end(), IsDisplayNameChar);
    return (plainName ? FName : Quoted(FName)) + QLatin1Char(' ') + form;
}

TWideIdEMailAddressItem& TWideIdEMailAddressList::Add()
{
    FItems.push_back(std::make_unique<TWideIdEMailAddressItem>());
    return *FItems.back();
}

// Parses one element; an element without an address (blank, or a plain name)
// is left out.
void TWideIdEMailAddressList::AddParsed(const QString& text)
{
    auto item = std::make_unique<TWideIdEMailAddressItem>();
    item->SetAddressText(text);
    if (!item->Address().trimmed().isEmpty())
        FItems.push_back(std::move(item));
}

// RFC 5322 address-list: elements separated by commas; a group is a display
// name, a colon, its mailbox list and a semicolon. Commas inside quotes and
// comments do not separate.
void TWideIdEMailAddressList::SetAddressListText(const QString& text, int limit)
{
    Clear();
    if (IsBlank(text))
        return;
    QString buffer;
    bool quoted = false;
    int commentDepth = 0;
    qsizetype pos = 0;
    for (;;) {
        if (limit > 0 && Count() >= limit)
            return;
        const QLatin1StringView set = quoted             ? QLatin1StringView("\"\\")
                                      : commentDepth > 0 ? QLatin1StringView("(\\)")
                                                         : QLatin1StringView(":;(\", \t");
        const qsizetype i = FindAny(text, set, pos);
        if (i < 0)
            break;
        const QChar c = text[i];
        if (c == QLatin1Char('\\')) {
            const qsizetype end = std::min(i + 2, text.size());
            buffer += text.mid(pos, end - pos);
            pos = end;
        } else if (c == QLatin1Char(',')) {
            AddParsed(buffer + text.mid(pos, i - pos));
            buffer.clear();
            pos = i + 1;
        } else if (c == QLatin1Char(':')) {
            buffer.clear(); // a group's name
            pos = i + 1;
        } else if (c == QLatin1Char(';')) {
            buffer += text.mid(pos, i - pos);
            if (!IsBlank(buffer))
                AddParsed(buffer);
            buffer.clear();
            pos = i + 1;
        } else {
            buffer += text.mid(pos, i + 1 - pos);
            pos = i + 1;
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (c == QLatin1Char('('))
                ++commentDepth;
            else if (c == QLatin1Char(')'))
                --commentDepth;
        }
    }
    buffer += text.mid(pos);
    if (!IsBlank(buffer))
        AddParsed(buffer);
}
