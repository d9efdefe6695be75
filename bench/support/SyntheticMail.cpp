#include "bench/support/SyntheticMail.h"

#include <QDateTime>

#include <array>
#include <random>

namespace {

using TRandom = std::mt19937;

const std::array<const char*, 8> kWords{"meeting", "report", "quarterly", "invoice", "project",
                                           "schedule", "update", "review"};

// Subjects and display names in the encodings mail really carries.
const std::array<const char*, 8> kSubjects{
    "Re: Quarterly report for the board",
    "=?KOI8-R?B?8NLJ18XUIMnaIO3P08vX2Q==?=",                      // KOI8-R, base64
    "=?windows-1251?Q?=CE=F2=F7=E5=F2_=E7=E0_=EC=E0=F0=F2?=",      // windows-1251, Q
    "\xce\xf2\xf7\xe5\xf2 \xe7\xe0 \xec\xe0\xf0\xf2",              // raw 8-bit windows-1251
    "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?= meeting",                   // Japanese
    "=?UTF-8?B?8J+OiSBQYXJ0eSBvbiBGcmlkYXk=?=",                     // UTF-8 with an emoji
    "Fwd: [2] Re: Re: project schedule",
    "Invoice 2026-117 =?UTF-8?Q?f=C3=BCr?= March",
};

const std::array<const char*, 6> kSenders{
    "\"Alice Example\" <alice@example.org>",
    "=?KOI8-R?B?6dfBzg==?= <ivan@example.ru>",
    "bob@example.net (Bob Builder)",
    "=?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <taro@example.jp>",
    "Carol <carol@example.com>",
    "\"Doe, John\" <john.doe@example.com>",
};

QByteArray Words(TRandom& random, int bytes)
{
    QByteArray text;
    text.reserve(bytes + 16);
    int column = 0;
    while (text.size() < bytes) {
        const QByteArrayView word(kWords[random() % kWords.size()]);
        text += word;
        column += static_cast<int>(word.size()) + 1;
        if (column > 70) {
            text += "\r\n";
            column = 0;
        } else {
            text += ' ';
        }
    }
    return text + "\r\n";
}

QByteArray Base64Lines(TRandom& random, int bytes)
{
    QByteArray raw(bytes, Qt::Uninitialized);
    for (char& c : raw)
        c = static_cast<char>(random());
    const QByteArray encoded = raw.toBase64();
    QByteArray lines;
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        lines += encoded.mid(i, 76) + "\r\n";
    return lines;
}

QByteArray Header(TRandom& random, int number)
{
    const QDateTime date = QDateTime(QDate(2025, 1, 1), QTime(8, 0), Qt::UTC).addSecs(number * 3607LL);
    QByteArray header;
    header += "Received: from mx" + QByteArray::number(number % 7) + ".example.org by mail.example.net; "
              + date.addSecs(5).toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    header += QByteArray("From: ") + kSenders[random() % kSenders.size()] + "\r\n";
    header += QByteArray("To: ") + kSenders[random() % kSenders.size()] + ", team@example.org\r\n";
    header += QByteArray("Subject: ") + kSubjects[random() % kSubjects.size()] + "\r\n";
    header += "Date: " + date.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    header += "Message-ID: <" + QByteArray::number(number) + ".synthetic@example.org>\r\n";
    if (random() % 5 == 0)
        header += "X-Priority: 1\r\n";
    header += "MIME-Version: 1.0\r\n";
    return header;
}

} // namespace

QByteArray SyntheticMessage(int number, int averageSize, uint32_t seed)
{
    TRandom random(seed + static_cast<uint32_t>(number));
    const int body = std::max(200, static_cast<int>(averageSize * (0.3 + (random() % 140) / 100.0)) - 600);
    QByteArray message = Header(random, number);
    switch (random() % 4) {
    case 0:
    case 1:
        message += "Content-Type: text/plain; charset=us-ascii\r\n\r\n" + Words(random, body);
        break;
    case 2:
        message += "Content-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n"
                   "--alt\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" + Words(random, body / 3)
                   + "--alt\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<html><body><p>"
                   + Words(random, body / 2) + "</p></body></html>\r\n--alt--\r\n";
        break;
    default:
        message += "Content-Type: multipart/mixed; boundary=\"mix\"\r\n\r\n"
                   "--mix\r\nContent-Type: text/plain; charset=windows-1251\r\n\r\n" + Words(random, body / 4)
                   + "--mix\r\nContent-Type: application/pdf; name=\"report.pdf\"\r\n"
                     "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename=\"report.pdf\"\r\n\r\n"
                   + Base64Lines(random, body / 2) + "--mix--\r\n";
        break;
    }
    return message;
}

std::vector<QByteArray> SyntheticMessages(const TSyntheticMailOptions& options)
{
    std::vector<QByteArray> messages;
    messages.reserve(options.Count);
    for (int i = 0; i < options.Count; ++i)
        messages.push_back(SyntheticMessage(i, options.AverageSize, options.Seed));
    return messages;
}
