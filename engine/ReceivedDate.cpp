#include "engine/ReceivedDate.h"

#include <optional>
#include <vector>

namespace {

// Returns the unfolded value of the first header named `name` (with colon,
// lower case), looking only at the header block before the first empty line.
QByteArray FirstHeaderValue(const QByteArray& source, QByteArrayView name)
{
    qsizetype pos = 0;
    while (pos < source.size()) {
        qsizetype end = source.indexOf('\n', pos);
        if (end < 0)
            end = source.size();
        const QByteArray line = source.mid(pos, end - pos).trimmed();
        if (line.isEmpty())
            return {};
        if (line.size() >= name.size() && line.first(name.size()).toLower() == name) {
            QByteArray value = line.mid(name.size());
            // Continuation lines begin with a space or a tab.
            pos = end + 1;
            while (pos < source.size() && (source[pos] == ' ' || source[pos] == '\t')) {
                end = source.indexOf('\n', pos);
                if (end < 0)
                    end = source.size();
                value += ' ' + source.mid(pos, end - pos).trimmed();
                pos = end + 1;
            }
            return value;
        }
        pos = end + 1;
    }
    return {};
}

// The text with every comment replaced by a space. RFC 5322 §3.2.2:
//   comment = "(" *([FWS] ccontent) [FWS] ")"
//   ccontent = ctext / quoted-pair / comment
QByteArray WithoutComments(QByteArrayView text)
{
    QByteArray result;
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (depth > 0 && c == '\\') {
            ++i;   // a quoted pair: the next character is taken literally
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            if (--depth == 0)
                result += ' ';
        } else if (depth == 0) {
            result += c;
        }
    }
    return result;
}

// Runs of letters, runs of digits, and the single characters between them;
// white space only separates.
std::vector<QByteArray> Tokens(const QByteArray& text)
{
    std::vector<QByteArray> tokens;
    const auto kindOf = [](char c) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            return 1;
        if (c >= '0' && c <= '9')
            return 2;
        return 0;
    };
    for (qsizetype i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const int kind = kindOf(c);
        qsizetype end = i + 1;
        while (kind != 0 && end < text.size() && kindOf(text[end]) == kind)
            ++end;
        tokens.push_back(text.mid(i, end - i));
        i = end;
    }
    return tokens;
}

// Index (1-based) of a name among three-letter names, compared without case.
int NameIndex(const QByteArray& token, const char* const* names, int count)
{
    const QByteArray lower = token.toLower();
    for (int i = 0; i < count; ++i) {
        if (lower == names[i])
            return i + 1;
    }
    return 0;
}

bool IsDigits(const QByteArray& token, qsizetype minimum, qsizetype maximum)
{
    if (token.size() < minimum || token.size() > maximum)
        return false;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The offset from UTC, in seconds, of a zone. RFC 5322 §3.3 and §4.3:
//   zone = (FWS ( "+" / "-" ) 4DIGIT) / obs-zone
//   obs-zone = "UT" / "GMT" / "EST" / "EDT" / "CST" / "CDT" / "MST" / "MDT"
//            / "PST" / "PDT" / %d65-73 / %d75-90 / %d97-105 / %d107-122
// The military letters were defined wrongly in RFC 822; §4.3 asks that they
// be read as "-0000" (UTC, no zone known), as is a missing zone.
std::optional<int> ZoneOffset(const std::vector<QByteArray>& tokens, size_t at)
{
    if (at >= tokens.size())
        return 0;
    const QByteArray& token = tokens[at];
    if ((token == "+" || token == "-") && at + 1 < tokens.size() && IsDigits(tokens[at + 1], 4, 4)) {
        const int hours = tokens[at + 1].left(2).toInt();
        const int minutes = tokens[at + 1].mid(2).toInt();
        if (minutes > 59)
            return std::nullopt;
        return (token == "-" ? -60 : 60) * (hours * 60 + minutes);
    }
    struct TZoneName {
        const char* Name;
        int Hours;
    };
    static const TZoneName kNames[] = {{"ut", 0},  {"gmt", 0}, {"est", -5}, {"edt", -4}, {"cst", -6},
                                       {"cdt", -5}, {"mst", -7}, {"mdt", -6}, {"pst", -8}, {"pdt", -7}};
    const QByteArray lower = token.toLower();
    for (const TZoneName& zone : kNames) {
        if (lower == zone.Name)
            return zone.Hours * 3600;
    }
    if (lower.size() == 1 && lower[0] >= 'a' && lower[0] <= 'z' && lower[0] != 'j')
        return 0;
    return std::nullopt;
}

// A year of two or three digits. RFC 5322 §4.3: two digits from 00 to 49
// are 2000 to 2049, from 50 to 99 they are 1950 to 1999; three digits are
// added to 1900.
int FullYear(const QByteArray& digits)
{
    const int year = digits.toInt();
    if (digits.size() == 2)
        return year < 50 ? 2000 + year : 1900 + year;
    if (digits.size() == 3)
        return 1900 + year;
    return year;
}

// RFC 5322 §3.3, with the obsolete forms of §4.3 (two-digit years, named
// zones, comments and white space anywhere):
//   date-time = [ day-of-week "," ] date time [CFWS]
//   date = day month year
//   time = time-of-day zone
//   time-of-day = hour ":" minute [ ":" second ]
QDateTime ParseDateTime(QByteArrayView text)
{
    static const char* const kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    const std::vector<QByteArray> tokens = Tokens(WithoutComments(text));
    size_t at = 0;
    const auto next = [&]() -> QByteArray { return at < tokens.size() ? tokens[at++] : QByteArray(); };
    if (at < tokens.size() && NameIndex(tokens[at], kDays, 7) > 0) {
        ++at;
        if (at < tokens.size() && tokens[at] == ",")
            ++at;
    }
    const QByteArray day = next();
    const int month = NameIndex(next(), kMonths, 12);
    const QByteArray year = next();
    const QByteArray hour = next();
    const bool colon = next() == ":";
    const QByteArray minute = next();
    QByteArray second = "0";
    if (at < tokens.size() && tokens[at] == ":") {
        ++at;
        second = next();
    }
    if (!IsDigits(day, 1, 2) || month == 0 || !IsDigits(year, 2, 4) || !IsDigits(hour, 1, 2) || !colon
        || !IsDigits(minute, 2, 2) || !IsDigits(second, 1, 2))
        return {};
    const std::optional<int> offset = ZoneOffset(tokens, at);
    const QDate date(FullYear(year), month, day.toInt());
    // A leap second (60) is read as the second before it.
    const QTime time(hour.toInt(), minute.toInt(), qMin(second.toInt(), 59));
    if (!offset || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::OffsetFromUTC, *offset).toUTC();
}

} // namespace

QDateTime ReceivedDateOf(const QByteArray& source)
{
    const QByteArray value = FirstHeaderValue(source, "received:");
    const qsizetype semicolon = value.lastIndexOf(';');
    if (semicolon < 0)
        return {};
    return ParseDateTime(QByteArrayView(value).sliced(semicolon + 1));
}
