#include "content/view/MesgRebuild.h"

#include "content/IdCoderHeader.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/Utf16Funcs.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

struct TOwnedField
{
    const char* Name;
    QString TEditedMessage::*Text;
};

constexpr TOwnedField kOwnedFields[] = {
    {"Subject", &TEditedMessage::Subject},   {"From", &TEditedMessage::From},
    {"To", &TEditedMessage::To},             {"Cc", &TEditedMessage::Cc},
    {"Bcc", &TEditedMessage::Bcc},           {"Sender", &TEditedMessage::Sender},
    {"Reply-To", &TEditedMessage::ReplyTo},  {"Organization", &TEditedMessage::Organization},
    {"Newsgroups", &TEditedMessage::Newsgroups},
};

bool Holds(CharsetId charset, const QString& text)
{
    return DecodeCharsetText(EncodeCharsetText(text, charset), charset) == text;
}

bool IsAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// A field value on one line: header fields end at a line break, so one
// typed into a box must not start a field of its own.
QString OneLine(const QString& text, const char* name)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    const QString separator = qstrcmp(name, "Newsgroups") == 0 ? QStringLiteral(",") : QStringLiteral(" ");
    return QString(text).replace(breaks, separator).trimmed();
}

QByteArray HeaderValue(const QString& text, CharsetId charset)
{
    if (IsAscii(text))
        return text.toLatin1();
    return EncodeHeaderText(EncodeCharsetText(text, charset), {}, 'B', THeaderTransfer::Bit8,
                            CharsetName(charset).toLatin1());
}

QString CrLf(const QString& text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\\r\\n|\\n|\\r"));
    return QString(text).replace(lineEnd, QStringLiteral("\r\n"));
}

QByteArray PlainType(const QByteArray& charsetName)
{
    return "text/plain; charset=\"" + charsetName + '"';
}

} // namespace

CharsetId RebuildCharset(CharsetId preferred, const TEditedMessage& edited)
{
    const CharsetId charset = preferred != 0 ? preferred : DefaultMessageCharset();
    bool holds = !edited.Body || Holds(charset, *edited.Body);
    for (const TOwnedField& field : kOwnedFields)
        holds = holds && Holds(charset, edited.*field.Text);
    return holds ? charset : CharsetFromName(QStringLiteral("UTF-8"));
}

void ReplaceBody(TMimeMessage& message, const QString& text, CharsetId charset)
{
    const QByteArray bytes = EncodeCharsetText(CrLf(text), charset);
    const QByteArray name = CharsetName(charset).toLatin1();
    if (message.Containers().empty()) {
        // A single-part message: its text is the message's own body (files
        // that were embedded in it follow as parts of their own).
        message.SetBody(bytes);
        message.SetCharset(name);
        message.SetContentType("text/plain");
        message.Headers().Set("Content-Type", PlainType(name));
        message.Headers().Remove("Content-Transfer-Encoding");
        if (!message.Headers().Contains("MIME-Version"))
            message.Headers().Set("MIME-Version", "1.0");
        return;
    }
    // The new plain part takes the place of the first shown body part, or
    // goes first into the outermost container.
    const int plain = message.FirstTextPart("text/plain");
    const int html = message.FirstTextPart("text/html");
    const int first = plain < 0 ? html : html < 0 ? plain : std::min(plain, html);
    auto part = std::make_unique<TMimeTextPart>();
    part->Headers().Add("Content-Type", PlainType(name));
    part->SetContentType("text/plain");
    part->SetCharset(name);
    part->SetBody(bytes);
    if (first >= 0)
        part->SetPlace(message.Part(first).Parent(), message.Part(first).Order());
    else
        part->SetPlace(0, -1);
    for (const int index : {std::max(plain, html), std::min(plain, html)})
        if (index >= 0)
            message.RemovePart(index);
    message.AddPart(std::move(part));
}

void RebuildMessage(TMimeMessage& message, const TEditedMessage& edited)
{
    const CharsetId charset = RebuildCharset(edited.Charset, edited);
    for (const TOwnedField& field : kOwnedFields) {
        const QString text = OneLine(edited.*field.Text, field.Name);
        if (text.isEmpty())
            message.Headers().Remove(field.Name);
        else
            message.Headers().Set(field.Name, HeaderValue(text, charset));
    }
    if (edited.Body)
        ReplaceBody(message, *edited.Body, charset);
    SetMailer(message);
    message.GeneratedHeaders().Set("Unsent", "1");
}
