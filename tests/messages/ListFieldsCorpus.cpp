#include "tests/messages/ListFieldsCorpus.h"

#include "messages/MesgItem.h"
#include "settings/CharsetSwitches.h"
#include "settings/SystemCodePage.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

namespace {

QByteArray Header(const char* name)
{
    return ReadFixture(QStringLiteral("charset/%1.hdr").arg(QLatin1String(name))).trimmed();
}

// A message around raw header values, its text in `charset` (none when empty).
QByteArray MessageWith(const QByteArray& subject, const QByteArray& from, const QByteArray& to,
                       const QByteArray& charset, bool html)
{
    const QByteArray label = charset.isEmpty() ? QByteArray() : "; charset=" + charset;
    QByteArray message = "Subject: " + subject + "\r\nFrom: " + from + "\r\nTo: " + to
                         + "\r\nDate: Tue, 3 Mar 2026 10:11:12 +0300\r\nMessage-ID: < Mixed@Case.Example >\r\n";
    if (!html)
        return message + "Content-Type: text/plain" + label + "\r\n\r\nbody\r\n";
    return message + "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\n"
           + "plain\r\n--b\r\nContent-Type: text/html" + label + "\r\n\r\n<p>html</p>\r\n--b--\r\n";
}

} // namespace

std::vector<QByteArray> ListFieldsCorpus()
{
    std::vector<QByteArray> corpus;
    for (const QString& folder : {QStringLiteral("mime"), QStringLiteral("view")}) {
        const QDir dir(FixturePath(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name))
            corpus.push_back(ReadFixture(folder + u'/' + name));
    }
    const QByteArray from = Header("from-encoded-name");
    const QByteArray to = Header("to-group");
    for (const char* subject : {"subject-koi8r-raw", "subject-cp1251-raw", "subject-koi8r-folded",
                                "subject-cp1251-mixed", "subject-iso2022jp", "subject-utf8-emoji"}) {
        for (const char* charset : {"", "koi8-r", "windows-1251", "x-unknown"})
            corpus.push_back(MessageWith(Header(subject), from, to, charset, false));
        corpus.push_back(MessageWith(Header(subject), Header(subject) + " <raw@example.org>", to, "utf-8", true));
    }
    return corpus;
}

std::vector<TDerivationOptions> DerivationOptionCombinations()
{
    std::vector<TDerivationOptions> combinations;
    const std::pair<const char*, unsigned> pages[] = {{"1252", 1252}, {"1251", 1251}, {"932", 932}};
    const std::pair<const char*, QLocale::Language> languages[] = {
        {"English", QLocale::English}, {"Russian", QLocale::Russian}, {"Japanese", QLocale::Japanese}};
    static std::vector<QByteArray> names;
    for (const auto& [pageName, page] : pages)
        for (const auto& [languageName, language] : languages)
            for (const bool rus : {false, true}) {
                names.push_back(QByteArray(pageName) + '_' + languageName + (rus ? "_Redetect" : "_Plain"));
                combinations.push_back({names.back().constData(), page, language, rus});
            }
    return combinations;
}

void ApplyDerivationOptions(const TDerivationOptions& options)
{
    SetSystemCodePage(options.CodePage);
    QLocale::setDefault(QLocale(options.Language));
    SetAutoRusHeaderEnabled(options.AutoRusHeader);
}

void ResetDerivationOptions()
{
    ApplyDerivationOptions({"", 1252, QLocale::English, false});
}

QByteArray ListFieldsLine(const TMesgItem& item)
{
    const auto text = [](const QString& value) {
        QByteArray units;
        for (QChar c : value)
            units += QByteArray::number(c.unicode(), 16) + ' ';
        return units;
    };
    return "subject " + text(item.Subject()) + "| from " + text(item.FromName()) + "/ " + text(item.FromAddress())
           + "| to " + text(item.ToName()) + "/ " + text(item.ToAddress()) + "| id " + item.MessageId() + " | sent "
           + QByteArray::number(item.DateSent(), 'g', 17) + " | received " + QByteArray::number(item.DateReceived(), 'g', 17)
           + " | size " + QByteArray::number(item.Size()) + " | state " + QByteArray::number(item.State())
           + " | priority " + QByteArray::number(item.Priority()) + " | qp " + QByteArray::number(item.QuotedPrintable())
           + " | parsed " + QByteArray::number(item.Parsed());
}
