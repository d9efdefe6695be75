#include "tests/messages/MesgTestSupport.h"

#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "messages/MesgItem.h"

#include <QCryptographicHash>
#include <QLocale>

#include <cstdlib>
#include <ctime>

namespace {

constexpr qsizetype kPreview = 100;

// Bytes as printable ASCII, others as \xNN, cut after `limit` bytes.
QByteArray Escaped(const QByteArray& bytes, qsizetype limit = kPreview)
{
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out.append(static_cast<char>(c));
        else
            out.append("\\x" + QByteArray::number(c, 16).rightJustified(2, '0'));
    }
    if (bytes.size() > limit)
        out.append("... (" + QByteArray::number(bytes.size()) + " bytes)");
    return out;
}

QByteArray Digest(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().left(12);
}

QByteArray Text(const QString& text)
{
    return Escaped(text.toUtf8(), 200);
}

void PartLine(QByteArray& out, int index, TMimePart& part)
{
    const bool text = part.Kind() == TMimePart::TKind::Text;
    const QByteArray data = text ? static_cast<TMimeTextPart&>(part).Body()
                                 : static_cast<TMimeAttachment&>(part).DataBytes();
    out += "part " + QByteArray::number(index) + ": " + (text ? "text" : "attachment") + ' ' + part.ContentType();
    out += " charset=" + part.Charset() + " parent=" + QByteArray::number(part.Parent());
    out += " disposition=" + part.Disposition() + " cid=" + Escaped(part.ContentId());
    out += " name=" + Escaped(part.FileName()) + " headers=" + QByteArray::number(part.Headers().Count());
    out += " size=" + QByteArray::number(data.size()) + " md5=" + Digest(data) + '\n';
    if (text)
        out += "  \"" + Escaped(data) + "\"\n";
}

} // namespace

void TMesgTest::SetUp()
{
    TContentTest::SetUp();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    setenv("TZ", "UTC", 1);
    tzset();
}

QByteArray MessageSummary(TMimeMessage& message, const TMesgItem* item)
{
    QByteArray out;
    out += "content-type: " + message.ContentType() + '\n';
    out += "charset: " + message.Charset() + '\n';
    out += "transfer-encoding: " + message.TransferEncoding() + '\n';
    out += "body: \"" + Escaped(message.Body()) + "\"\n";
    for (const TMimeHeader& header : message.Headers().Items())
        out += "header " + header.Name + ": " + Escaped(header.Value) + '\n';
    QByteArray extra;
    for (const TMimeHeader& header : message.ExtraHeaders().Items())
        extra += ' ' + header.Name;
    out += "extra:" + extra + '\n';
    for (const TMimeContainer& container : message.Containers())
        out += "container " + container.ContentType + " parent=" + QByteArray::number(container.Parent) + '\n';
    for (int i = 0; i < message.PartCount(); ++i)
        PartLine(out, i, message.Part(i));
    QByteArray charset;
    QByteArray text;
    TextBody(message, charset, text);
    out += "text-body: charset=" + charset + " \"" + Escaped(DecodedTextBody(message, 0).toUtf8()) + "\"\n";
    if (!item)
        return out;
    out += "subject: " + Text(item->Subject()) + '\n';
    out += "from: " + Text(item->FromName()) + " | " + Text(item->FromAddress()) + '\n';
    out += "to: " + Text(item->ToName()) + " | " + Text(item->ToAddress()) + '\n';
    out += "message-id: " + Escaped(item->MessageId()) + '\n';
    out += "date-sent: " + (item->DateSent() == 0 ? QByteArray("none")
                                                  : DaysToDateTime(item->DateSent()).toString(Qt::ISODate).toLatin1()) + '\n';
    out += "priority: " + QByteArray::number(item->Priority()) + " state: " + QByteArray::number(item->State()) +
           " quoted-printable: " + (item->QuotedPrintable() ? "yes" : "no") + '\n';
    return out;
}

qint64 TOneByteStream::Read(void* buffer, qint64 count)
{
    if (count <= 0 || FPosition >= FBytes.size())
        return 0;
    static_cast<char*>(buffer)[0] = FBytes[FPosition++];
    return 1;
}

qint64 TOneByteStream::Seek(qint64 offset, TSeekOrigin origin)
{
    FPosition = SeekTarget(FPosition, FBytes.size(), offset, origin);
    return FPosition;
}
