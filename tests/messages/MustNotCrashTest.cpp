// Hostile sources fed to the parser, the field derivation and the writer.
// Every input a fuzzer ever found harmful is kept as a file
// tests/data/mime/fuzz-*.eml and fed here again.

#include "base/FastMemoryStream.h"
#include "base/SyncItems.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "messages/MesgItem.h"
#include "tests/messages/MesgTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

namespace {

void Feed(const QByteArray& source)
{
    TMimeMessage message;
    TMimeParser().Parse(source, message);
    TSyncItems owner;
    TMesgItem item(&owner);
    item.DeriveFields(message, DecodeListHeader(message));
    TFastMemoryStream written;
    WriteMessage(message, written);
    TMimeMessage reread;
    TMimeParser().Parse(written.ToByteArray(), reread);
}

QByteArray NestedMultiparts(int depth)
{
    QByteArray source = "Content-Type: multipart/mixed; boundary=b0\r\n\r\n";
    for (int i = 1; i < depth; ++i)
        source += "--b" + QByteArray::number(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                  QByteArray::number(i) + "\r\n\r\n";
    return source + "--b" + QByteArray::number(depth - 1) + "\r\n\r\nleaf\r\n";
}

QByteArray NestedMessages(int depth)
{
    QByteArray source = "Subject: leaf\r\n\r\nleaf\r\n";
    for (int i = 0; i < depth; ++i) {
        const QByteArray boundary = "b" + QByteArray::number(i);
        source = "Content-Type: multipart/mixed; boundary=" + boundary + "\r\n\r\n--" + boundary +
                 "\r\nContent-Type: message/rfc822\r\n\r\n" + source + "\r\n--" + boundary + "--\r\n";
    }
    return source;
}

class MustNotCrash : public TMesgTest
{
};

TEST_F(MustNotCrash, HandMadeHostileSources)
{
    const QByteArray inputs[] = {
        NestedMultiparts(2000),
        NestedMessages(300),
        QByteArray("Content-Type: message/rfc822\r\n\r\n").repeated(2000) + "Subject: x\r\n\r\n",
        "From: " + QByteArray(100000, ':') + "\r\nTo: " + QByteArray(50000, '<') + "\r\n\r\n",
        "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n--\r\n\r\n--\r\n",
        "Content-Type: multipart/mixed; boundary=" + QByteArray(5000, 'b') + "\r\n\r\n--" + QByteArray(5000, 'b') + "\r\n",
        "Content-Transfer-Encoding: x-xxencode\r\nContent-Type: application/x\r\n\r\nbegin 644 x\r\n" +
            QByteArray(1000, 'h') + "\r\n",
        "Content-Type: application/mac-binhex40\r\n\r\n:" + QByteArray(3000, '!') + "\x90",
        "(This file must be converted with BinHex 4.0)\r\n:" + QByteArray("r").repeated(10000),
        "\r\nbegin 644 a\r\n" + QByteArray("M").repeated(70000),
        "Subject: =?utf-8?B?" + QByteArray(30000, 'A') + "?=\r\nDate: " + QByteArray(10000, '9') + "\r\n\r\n",
        "X-Priority: 99999999999999999999\r\nContent-Type: text/plain; charset=" + QByteArray(3000, 'x') + "\r\n\r\n",
        QByteArray(3000, '\0'),
        QByteArray("Received: x\r\n").repeated(20000) + "\r\n",
    };
    for (const QByteArray& input : inputs)
        Feed(input);
}

TEST_F(MustNotCrash, SavedFuzzerFindings)
{
    const QDir folder(FixturePath(QStringLiteral("mime")));
    for (const QString& name : folder.entryList({QStringLiteral("fuzz-*.eml")}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        Feed(ReadFixture(QStringLiteral("mime/") + name));
    }
}

} // namespace
