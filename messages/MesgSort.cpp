#include "messages/MesgSort.h"

#include "content/MesgUtils.h"
#include "messages/MesgItem.h"
#include "settings/SystemCodePage.h"

namespace {

template <class T>
int Sign(T value)
{
    return (value > 0) - (value < 0);
}

char16_t AsciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool IsAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Addresses compare as 8-bit text of the system code page, ignoring the case
// of A to Z only. ASCII addresses (nearly all) compare without converting.
int CompareAddresses(const QString& a, const QString& b)
{
    if (IsAscii(a) && IsAscii(b)) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const int d = AsciiLower(a[i].unicode()) - AsciiLower(b[i].unicode());
            if (d != 0)
                return Sign(d);
        }
        return Sign(a.size() - b.size());
    }
    const QByteArray x = EncodeSystemText(a);
    const QByteArray y = EncodeSystemText(b);
    return Sign(qstrnicmp(x.constData(), x.size(), y.constData(), y.size()));
}

int CompareKey(const TMesgItem& a, const TMesgItem& b, const TSortOrder& order)
{
    switch (order.Key) {
    case msColumns:
        for (int field : order.Columns) {
            if (const int r = CompareField(a, b, field); r != 0)
                return r;
        }
        return 0;
    case msSubject: return CompareField(a, b, mcSubject);
    case msFrom:
        if (const int r = CompareField(a, b, mcFromRealName); r != 0)
            return r;
        return CompareField(a, b, mcFromEmail);
    case msFromEmail: return CompareField(a, b, mcFromEmail);
    case msFromRealName: return CompareField(a, b, mcFromRealName);
    case msTo:
        if (const int r = CompareField(a, b, mcToRealName); r != 0)
            return r;
        return CompareField(a, b, mcToEmail);
    case msToEmail: return CompareField(a, b, mcToEmail);
    case msToRealName: return CompareField(a, b, mcToRealName);
    case msDateSent: return CompareField(a, b, mcDateSent);
    case msDateReceived: return CompareField(a, b, mcDateReceived);
    }
    return 0;
}

} // namespace

int CompareField(const TMesgItem& a, const TMesgItem& b, int field)
{
    switch (field) {
    case mcSubject:
        if (a.SubjectSortKey() && b.SubjectSortKey())
            return CompareSubjectKeys(*a.SubjectSortKey(), *b.SubjectSortKey());
        return CompareSubjects(a.Subject(), b.Subject());
    case mcFromRealName: return CompareLocaleText(a.FromName(), b.FromName());
    case mcFromEmail: return CompareAddresses(a.FromAddress(), b.FromAddress());
    case mcToRealName: return CompareLocaleText(a.ToName(), b.ToName());
    case mcToEmail: return CompareAddresses(a.ToAddress(), b.ToAddress());
    case mcDateSent: return Sign(a.DateSent() - b.DateSent());
    case mcDateReceived: return Sign(a.DateReceived() - b.DateReceived());
    case mcSize: return Sign(a.Size() - b.Size());
    case mcAttachment: return int(a.HasState(stAttachment)) - int(b.HasState(stAttachment));
    // Ascending puts the lowest priority (4) first and the highest (0) last.
    case mcPriority: return b.Priority() - a.Priority();
    case mcFlagged: return int(a.HasState(stFlagged)) - int(b.HasState(stFlagged));
    default: return 0;
    }
}

int CompareMessages(const TMesgItem& a, const TMesgItem& b, const TSortOrder& order)
{
    int result = CompareKey(a, b, order);
    if (result == 0)
        result = CompareField(a, b, mcDateSent);
    return order.Invert ? -result : result;
}

TMessageSort SortForColumn(int field)
{
    switch (field) {
    case mcSubject: return msSubject;
    case mcFromRealName: return msFromRealName;
    case mcFromEmail: return msFromEmail;
    case mcToRealName: return msToRealName;
    case mcToEmail: return msToEmail;
    case mcDateSent: return msDateSent;
    case mcDateReceived: return msDateReceived;
    default: return msColumns;
    }
}
