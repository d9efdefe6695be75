#include "content/MesgUtils.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "base/SafeFile.h"
#include "content/MimeMessage.h"
#include "content/MimeWriter.h"
#include "content/Utf16Funcs.h"
#include "settings/AppPaths.h"

#include <QCollator>
#include <QLocale>
#include <QTimeZone>

#include <cmath>

namespace {

const QDateTime& DayZero()
{
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0), Qt::LocalTime);
    return zero;
}

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

// Days from 1899-12-30 to 1970-01-01.
constexpr qint64 kUnixEpochDays = 25569;

qint64 FloorDiv(qint64 a, qint64 b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The local time zone's offset from UTC at an instant, as the C library
// tells it. Asking is slow (it may read the zone file), so it is asked once
// per span of time: the whole span between two transitions of the zone when
// the zone database agrees with the C library about it, else the quarter
// hour (offsets change only at quarter hours). The spans a thread has met
// are kept, so the dates of a whole folder cost a few look-ups.
class TZoneOffsets
{
public:
    int Offset(qint64 utcMs)
    {
        if (FLast < FSpans.size() && FSpans[FLast].Holds(utcMs))
            return FSpans[FLast].Offset;
        auto at = std::upper_bound(FSpans.begin(), FSpans.end(), utcMs,
                                   [](qint64 ms, const TSpan& span) { return ms < span.From; });
        if (at != FSpans.begin() && std::prev(at)->Holds(utcMs)) {
            FLast = static_cast<size_t>(std::prev(at) - FSpans.begin());
            return FSpans[FLast].Offset;
        }
        if (FSpans.size() > 100000)
            FSpans.clear();
        const TSpan span = SpanAt(utcMs);
        at = std::upper_bound(FSpans.begin(), FSpans.end(), span.From,
                              [](qint64 ms, const TSpan& other) { return ms < other.From; });
        FLast = static_cast<size_t>(FSpans.insert(at, span) - FSpans.begin());
        return span.Offset;
    }

private:
    struct TSpan
    {
        qint64 From;   // UTC milliseconds, inclusive
        qint64 To;     // exclusive
        int Offset;
        [[nodiscard]] bool Holds(qint64 ms) const { return ms >= From && ms < To; }
    };

    static int LibraryOffset(qint64 utcMs)
    {
        // The C library's time zone state is shared by every thread.
        static std::mutex zoneMutex;
        std::lock_guard lock(zoneMutex);
        return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC).toLocalTime().offsetFromUtc();
    }

    static TSpan SpanAt(qint64 utcMs)
    {
        constexpr qint64 kQuarterHourMs = 15 * 60 * 1000;
        const qint64 quarter = FloorDiv(utcMs, kQuarterHourMs) * kQuarterHourMs;
        const int offset = LibraryOffset(quarter);
        TSpan span{quarter, quarter + kQuarterHourMs, offset};
        const QTimeZone zone = QTimeZone::systemTimeZone();
        const QDateTime at = QDateTime::fromMSecsSinceEpoch(quarter, Qt::UTC);
        if (!zone.isValid() || zone.offsetFromUtc(at) != offset)
            return span;
        // Without a transition on one side (a zone without daylight saving
        // time, dates beyond the zone's history) the span reaches decades away.
        constexpr qint64 kFarMs = 50LL * 365 * 24 * 60 * 60 * 1000;
        const QTimeZone::OffsetData before = zone.previousTransition(at);
        const QTimeZone::OffsetData after = zone.nextTransition(at);
        const qint64 from = before.atUtc.isValid() ? before.atUtc.toMSecsSinceEpoch() : quarter - kFarMs;
        const qint64 to = after.atUtc.isValid() ? after.atUtc.toMSecsSinceEpoch() : quarter + kFarMs;
        // The wider span holds only when both ends agree with the C library.
        if (from <= quarter && to > quarter && LibraryOffset(from) == offset && LibraryOffset(to - 1) == offset)
            span = {from, to, offset};
        return span;
    }

    std::vector<TSpan> FSpans;   // sorted by From
    size_t FLast = 0;            // the span of the last answer
};

int LocalOffsetSeconds(qint64 utcMs)
{
    thread_local TZoneOffsets offsets;
    return offsets.Offset(utcMs);
}

// The calling thread's collator of the current locale. Collators are not
// safe to share between threads, so every thread makes its own, and makes
// it again when the locale changed.
template <Qt::CaseSensitivity Sensitivity>
const QCollator& Collator()
{
    thread_local QCollator collator;
    const QLocale locale = CollationLocale();
    if (collator.locale() != locale || collator.caseSensitivity() != Sensitivity) {
        collator.setLocale(locale);
        collator.setCaseSensitivity(Sensitivity);
    }
    return collator;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// A subject reduced for the second comparison, with its reply depth.
struct TNormalSubject
{
    QString Text;
    int Counter = 0;
    int Prefixes = 0;
};

TNormalSubject Normalise(QString text)
{
    TNormalSubject subject;
    // Reply counter: the first "[n]" (n > 0) is cut out; brackets that hold
    // no number count as -1 and the scan goes on.
    for (qsizetype open = text.indexOf(u'['); open >= 0; open = text.indexOf(u'[', open + 1)) {
        const qsizetype close = text.indexOf(u']', open + 2);
        if (close < 0)
            break;
        bool ok = false;
        const int number = text.mid(open + 1, close - open - 1).toInt(&ok);
        if (ok && number > 0) {
            subject.Counter = number;
            text.remove(open, close - open + 1);
            break;
        }
        subject.Counter = -1;
    }
    for (qsizetype at; (at = text.indexOf(QLatin1String("re:"))) >= 0; ++subject.Prefixes)
        text.remove(at, 3);
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == u' ')
        ++blanks;
    subject.Text = text.mid(blanks);
    return subject;
}

// The second and third steps of the subject comparison.
int CompareNormalised(const TNormalSubject& x, const TNormalSubject& y)
{
    const int second = Sign(Collator<Qt::CaseSensitive>().compare(x.Text, y.Text));
    if (second != 0)
        return second;
    return x.Counter != y.Counter ? x.Counter - y.Counter : x.Prefixes - y.Prefixes;
}

QString EnglishDayName(int dayOfWeek)
{
    static const char* const names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    return QLatin1String(names[(dayOfWeek + 6) % 7]);
}

QString EnglishMonthName(int month)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return QLatin1String(names[(month + 11) % 12]);
}

} // namespace

double DateTimeToDays(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return 0;
    // Whole days by the local calendar, the time of day as the fraction, so
    // a daylight-saving change does not shift the day.
    const qint64 utcMs = dateTime.toMSecsSinceEpoch();
    const qint64 localMs = utcMs + LocalOffsetSeconds(utcMs) * 1000LL;
    const qint64 days = FloorDiv(localMs, kMsPerDay);
    return static_cast<double>(days + kUnixEpochDays)
           + static_cast<double>(localMs - days * kMsPerDay) / static_cast<double>(kMsPerDay);
}

QDateTime DaysToDateTime(double days)
{
    const double whole = std::floor(days);
    const qint64 ms = std::llround((days - whole) * kMsPerDay);
    const QTime time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(std::min(ms, kMsPerDay - 1)));
    return QDateTime(DayZero().date().addDays(static_cast<qint64>(whole)), time, Qt::LocalTime);
}

bool IsUnsent(const TMimeMessage* message)
{
    return message && message->ExtraHeaders().Contains("Unsent");
}

QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

void TextBody(const TMimeMessage& message, QByteArray& charset, QByteArray& text)
{
    const TMimeTextPart* chosen = nullptr;
    for (int i = 0; i < message.PartCount() && !chosen; ++i) {
        const TMimePart& part = message.Part(i);
        if (part.Kind() == TMimePart::TKind::Text && part.ContentType().startsWith("text/plain"))
            chosen = static_cast<const TMimeTextPart*>(&part);
    }
    for (int i = 0; i < message.PartCount() && !chosen; ++i)
        if (message.Part(i).Kind() == TMimePart::TKind::Text)
            chosen = static_cast<const TMimeTextPart*>(&message.Part(i));
    if (!chosen) {
        charset = message.Charset();
        text = message.Body();
        return;
    }
    charset = chosen->Charset().isEmpty() ? message.Charset() : chosen->Charset();
    text = chosen->Body();
}

QString DecodedTextBody(const TMimeMessage& message, CharsetId chosen)
{
    QByteArray label;
    QByteArray body;
    TextBody(message, label, body);
    CharsetId charset = chosen ? chosen : CharsetFromName(NormalizeCharsetName(QString::fromLatin1(label)));
    if (charset == 0)
        charset = DefaultMessageCharset();
    return TrimControls(DecodeBodyText(body, charset));
}

bool StartsWithHeaderField(QByteArrayView source)
{
    qsizetype length = 0;
    while (length < source.size() && source[length] > 32 && source[length] < 127 && source[length] != ':')
        ++length;
    return length > 0 && length < source.size() && source[length] == ':';
}

void WriteMessage(const TMimeMessage& message, TStream& stream)
{
    WriteMimeMessage(message, stream);
}

void WriteMessageFile(const TMimeMessage& message, const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    TSafeFileStream file(fileName, TSafeFileStream::TMode::Replace);
    WriteMessage(message, file);
    file.Commit();
}

void SetMailer(TMimeMessage& message)
{
    const QByteArray mailer = QStringLiteral("Quorvan Mailer (v %1)").arg(ProgramVersion()).toLatin1();
    message.Headers().Set("X-Mailer", mailer);
    message.GeneratedHeaders().Set("X-Mailer", mailer);
}

bool IsDigestSubject(const QString& subject)
{
    return !subject.startsWith(QLatin1String("re"), Qt::CaseInsensitive) &&
           subject.contains(QLatin1String("Digest number"), Qt::CaseInsensitive);
}

QLocale CollationLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

int CompareLocaleText(const QString& a, const QString& b)
{
    return Sign(Collator<Qt::CaseSensitive>().compare(a, b));
}

int CompareLocaleTextNoCase(const QString& a, const QString& b)
{
    return Sign(Collator<Qt::CaseInsensitive>().compare(a, b));
}

int CompareSubjects(const QString& s, const QString& t)
{
    return CompareSubjectKeys(SubjectKey(s), SubjectKey(t));
}

TSubjectKey SubjectKey(const QString& subject)
{
    const QString lower = subject.toLower();
    TNormalSubject normal = Normalise(lower);
    TCollationKey lowerKey = CollationKey(lower);
    // Most subjects have no reply prefix or counter to cut: their normalised
    // text is the same, and so is its key (which costs as much as the
    // rest of the list fields together).
    TCollationKey normalKey = normal.Text == lower ? lowerKey : CollationKey(normal.Text);
    return {lower, std::move(lowerKey), std::move(normalKey), normal.Counter, normal.Prefixes};
}

TSubjectKey SubjectKey(const QString& subject, TCollationKey lowerKey, TCollationKey normalKey)
{
    const QString lower = subject.toLower();
    const TNormalSubject normal = Normalise(lower);
    return {lower, std::move(lowerKey), std::move(normalKey), normal.Counter, normal.Prefixes};
}

int CompareSubjectKeys(const TSubjectKey& x, const TSubjectKey& y)
{
    const qsizetype xs = x.Lower.size();
    const qsizetype ys = y.Lower.size();
    // Subjects that differ by one final character (a full stop, say) count as
    // equal: both are cut to the shorter length, and the keys made from the
    // whole subjects no longer apply.
    if (xs > 1 && ys > 1 && std::abs(xs - ys) == 1) {
        const QString a = x.Lower.left(std::min(xs, ys));
        const QString b = y.Lower.left(std::min(xs, ys));
        const int first = CompareLocaleText(a, b);
        if (first == 0)
            return 0;
        return CompareNormalised(Normalise(a), Normalise(b));
    }
    // Equal subjects come first: most keys differ in length, and those of
    // equal subjects often share their bytes.
    if (x.LowerKey == y.LowerKey)
        return 0;
    if (xs == 0 || ys == 0)
        return Sign(x.LowerKey.Compare(y.LowerKey));
    const int second = Sign(x.NormalKey.Compare(y.NormalKey));
    if (second != 0)
        return second;
    return x.Counter != y.Counter ? x.Counter - y.Counter : x.Prefixes - y.Prefixes;
}

QString FormatMessageDate(int kind, double dateTime)
{
    if (dateTime == 0)
        return {};
    const QDateTime value = DaysToDateTime(dateTime);
    const QLocale locale;
    const QString date = locale.toString(value.date(), QLocale::LongFormat);
    const QString time = locale.toString(value.time(), QLocale::ShortFormat);
    switch (kind) {
    case 1:
        return date;
    case 2:
        return time;
    default:
        return date + u' ' + time;
    }
}

QString MailboxDate(double dateTime)
{
    const QDateTime value = DaysToDateTime(dateTime);
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(EnglishDayName(value.date().dayOfWeek()), EnglishMonthName(value.date().month()))
        .arg(value.date().day(), 2)
        .arg(value.time().toString(QStringLiteral("HH:mm:ss")))
        .arg(value.date().year(), 4);
}

QByteArray StripAngles(const QByteArray& text)
{
    QByteArray result = text.trimmed();
    if (result.startsWith('<'))
        result.remove(0, 1);
    if (result.endsWith('>'))
        result.chop(1);
    return result;
}

QString StripAngles(const QString& text)
{
    QString result = text.trimmed();
    if (result.startsWith(u'<'))
        result.remove(0, 1);
    if (result.endsWith(u'>'))
        result.chop(1);
    return result;
}

QString FileUrlPath(const QString& path)
{
    QString result;
    result.reserve(path.size());
    for (const QChar c : path) {
        if (QStringView(u" *#%<>").contains(c))
            result += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            result += c;
    }
    return result;
}

bool IsControlOrBidi(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString CleanFileName(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (IsControlOrBidi(c.unicode()))
            continue;
        if (!QStringView(u"\\/:*?\"<>|").contains(c))
            result += c;
        else if (!result.endsWith(u'_'))
            result += u'_';
    }
    return result;
}
