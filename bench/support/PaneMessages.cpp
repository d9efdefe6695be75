#include "bench/support/PaneMessages.h"

#include <random>

namespace {

QByteArray Header(const char* subject, const char* contentType)
{
    return QByteArray("From: Dana Reed <dana@lists.example.org>\r\nTo: =?utf-8?B?0JDQvdC90LA=?= <anna@example.com>\r\n"
                      "Subject: ") +
           subject + "\r\nDate: Thu, 05 Mar 2026 08:15:00 +0000\r\nMessage-ID: <bench@example.org>\r\n"
                     "MIME-Version: 1.0\r\nContent-Type: " +
           contentType + "\r\n";
}

} // namespace

// List mail of about `size` bytes: a greeting, quotes, paragraphs, an ad block.
QByteArray PlainListMessage(qsizetype size)
{
    QByteArray body = "Hello everyone,\r\n\r\nOn Wed, 4 Mar 2026, Sam Lee wrote:\r\n";
    for (int i = 0; body.size() < size - 500; ++i) {
        body += i % 4 == 0 ? "> The new runners take twice as long; is that expected after the move?\r\n"
                           : "It is: the cache is cold after the move, and it warms up within a day or so.\r\n";
        if (i % 6 == 5)
            body += "\r\n\r\n";
    }
    body += "-- \r\nGet your free mailbox at www.examplemail.invalid today\r\n";
    return Header("Re: Build times", "text/plain; charset=utf-8") + "\r\n" + body;
}

namespace {

// About `size` bytes of HTML newsletter, quoted-printable encoded.
QByteArray NewsletterHtml(qsizetype size)
{
    QByteArray html = "<html><head><style>td {padding: 4px}</style></head><body><table>";
    for (int i = 0; html.size() < size; ++i)
        html += "<tr><td><b>Item " + QByteArray::number(i) +
                "</b></td><td>Caf\xC3\xA9 cr\xC3\xA8me &amp; more: <a href=\"https://shop.invalid/i\">see</a></td>"
                "<td><img src=\"cid:img" + QByteArray::number(i % 3) + "@x\"></td></tr>\n";
    html += "</table></body></html>";
    QByteArray encoded;
    qsizetype column = 0;
    for (const char c : html) {
        const auto byte = static_cast<unsigned char>(c);
        const QByteArray piece = byte == '=' || byte >= 0x80 ? "=" + QByteArray::number(byte, 16).toUpper()
                                                              : QByteArray(1, c);
        if (c == '\n') {
            encoded += "\r\n";
            column = 0;
            continue;
        }
        if (column + piece.size() > 75) {
            encoded += "=\r\n";
            column = 0;
        }
        encoded += piece;
        column += piece.size();
    }
    return encoded;
}

} // namespace

QByteArray HtmlNewsletterMessage(qsizetype size)
{
    return Header("Weekly offers", "text/html; charset=utf-8") + "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
           NewsletterHtml(size) + "\r\n";
}

QByteArray AlternativeNewsletterMessage()
{
    QByteArray text;
    for (int i = 0; text.size() < 20 * 1024; ++i)
        text += "Item " + QByteArray::number(i) + ": Cafe creme & more, see https://shop.invalid/i\r\n";
    return Header("Weekly offers", "multipart/alternative; boundary=\"alt\"") +
           "\r\n--alt\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" + text +
           "--alt\r\nContent-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n" +
           NewsletterHtml(200 * 1024) + "\r\n--alt--\r\n";
}

// A short text and a 20 MB attachment in base64.
QByteArray LargeAttachmentMessage()
{
    QByteArray data(20 * 1024 * 1024, Qt::Uninitialized);
    std::mt19937 random(20260305);
    for (char& c : data)
        c = static_cast<char>(random());
    const QByteArray base64 = data.toBase64();
    QByteArray lines;
    lines.reserve(base64.size() + base64.size() / 38);
    for (qsizetype at = 0; at < base64.size(); at += 76)
        lines += base64.mid(at, 76) + "\r\n";
    return Header("The recording", "multipart/mixed; boundary=\"b\"") +
           "\r\n--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nThe recording is attached.\r\n"
           "--b\r\nContent-Type: video/mp4; name=\"recording.mp4\"\r\nContent-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"recording.mp4\"\r\n\r\n" +
           lines + "--b--\r\n";
}

