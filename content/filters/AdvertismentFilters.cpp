#include "content/filters/AdvertismentFilters.h"

#include <QSet>

#include <functional>
#include <vector>

namespace {

constexpr qsizetype kMinKeyLength = 4;

QString Key(const QString& line)
{
    return line.trimmed().toUpper();
}

bool StartsWith(const QString& line, QStringView prefix)
{
    return line.startsWith(prefix, Qt::CaseInsensitive);
}

bool EndsWith(const QString& line, QStringView suffix)
{
    return line.endsWith(suffix, Qt::CaseInsensitive);
}

// One greeting test of ApplyGreetingFilter, on the trimmed first line.
using TGreetingTest = std::function<bool(const QString&)>;

const std::vector<TGreetingTest>& GreetingTests()
{
    static const std::vector<TGreetingTest> tests = {
        [](const QString& line) { return StartsWith(line, u"Hello"); },
        [](const QString& line) { return StartsWith(line, u"You wrote  on"); },
        [](const QString& line) { return EndsWith(line, u"you wrote:"); },
        [](const QString& line) { return StartsWith(line, u"On ") && EndsWith(line, u"wrote:"); },
        [](const QString& line) { return StartsWith(line, u"Здравствуйте"); },
        [](const QString& line) {
            return StartsWith(line, u"Вы писали ") && line.endsWith(QLatin1Char(':')) &&
                   line.contains(QLatin1String("2006"));
        },
    };
    return tests;
}

// The distinct trigrams of a key, each packed into one number, so that a
// line is read once however many samples it is compared with.
using TTrigrams = QSet<quint64>;

TTrigrams TrigramsOf(QStringView key)
{
    TTrigrams trigrams;
    for (qsizetype i = 0; i + 3 <= key.size(); ++i)
        trigrams.insert(quint64(key[i].unicode()) << 32 | quint64(key[i + 1].unicode()) << 16 | key[i + 2].unicode());
    return trigrams;
}

// AdSimilarity against the trigrams of a key.
int Similarity(QStringView sample, const TTrigrams& key)
{
    const qsizetype trigrams = sample.size() - 2;
    if (trigrams <= 0)
        return 0;
    qsizetype found = 0;
    for (qsizetype i = 0; i < trigrams; ++i)
        found += key.contains(quint64(sample[i].unicode()) << 32 | quint64(sample[i + 1].unicode()) << 16 |
                              sample[i + 2].unicode())
                     ? 1
                     : 0;
    // 100 * found / trigrams, rounded to the nearest integer, halves to even.
    const qsizetype scaled = 100 * found;
    const qsizetype quotient = scaled / trigrams;
    const qsizetype twiceRest = 2 * (scaled % trigrams);
    const bool up = twiceRest > trigrams || (twiceRest == trigrams && quotient % 2 == 1);
    return static_cast<int>(quotient + (up ? 1 : 0));
}

// The first line whose key passes `matches`; -1 when none.
qsizetype FirstMatch(const QStringList& lines, const std::function<bool(const QString&)>& matches)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString key = Key(lines[i]);
        if (key.size() >= kMinKeyLength && matches(key))
            return i;
    }
    return -1;
}

} // namespace

bool IsSeparatorLine(const QString& line)
{
    const QString key = Key(line);
    if (key.size() < 2)
        return true;
    return key.count(key[0]) == key.size();
}

void StripLeadingSeparators(QStringList& lines)
{
    while (!lines.isEmpty() && IsSeparatorLine(lines.first()))
        lines.removeFirst();
}

void StripTrailingSeparators(QStringList& lines)
{
    while (!lines.isEmpty() && IsSeparatorLine(lines.last()))
        lines.removeLast();
}

void ApplyGreetingFilter(QStringList& lines)
{
    StripLeadingSeparators(lines);
    for (const TGreetingTest& test : GreetingTests()) {
        if (lines.isEmpty())
            return;
        if (test(lines.first().trimmed())) {
            lines.removeFirst();
            StripLeadingSeparators(lines);
        }
    }
}

void ApplyAdvertismentFilter(QStringList& lines, const QStringList& samples, int level)
{
    if (samples.isEmpty())
        return;
    qsizetype cut = FirstMatch(lines, [&samples](const QString& key) { return samples.contains(key); });
    if (cut < 0) {
        cut = FirstMatch(lines, [&samples, level](const QString& key) {
            const TTrigrams trigrams = TrigramsOf(key);
            for (const QString& sample : samples)
                if (Similarity(sample, trigrams) >= level)
                    return true;
            return false;
        });
    }
    if (cut >= 0)
        lines.erase(lines.begin() + cut, lines.end());
    StripTrailingSeparators(lines);
}

int AdSimilarity(const QString& sample, const QString& key)
{
    return Similarity(sample, TrigramsOf(key));
}
