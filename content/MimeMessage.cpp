#include "content/MimeMessage.h"

#include "content/GMimeHandle.h"
#include "content/WideIdEMailAddress.h"

#include <array>

namespace {

// The fields the message reads or writes itself; everything else is extra.
constexpr std::array<const char*, 24> kStandardHeaders = {
    "From", "Sender", "Reply-To", "To", "Cc", "Bcc", "Subject", "Date",
    "Message-ID", "In-Reply-To", "References", "Organization", "Newsgroups",
    "MIME-Version", "Content-Type", "Content-Transfer-Encoding",
    "Content-Disposition", "Content-ID", "Content-Description",
    "X-Priority", "Priority", "Importance", "X-MSMail-Priority",
    "Disposition-Notification-To",
};

constexpr int kNormalPriority = 2;

// X-Priority: "1 (Highest)" ... "5 (Lowest)"; the leading number counts.
int XPriority(const QByteArray& value)
{
    QByteArray digits;
    for (char c : value.trimmed()) {
        if (c < '0' || c > '9')
            break;
        digits.append(c);
    }
    bool ok = false;
    const int number = digits.left(3).toInt(&ok);
    return ok && number >= 1 && number <= 5 ? number - 1 : -1;
}

// Importance (RFC 2156) and Priority (RFC 2156's "urgent", "non-urgent"),
// and the X-MSMail-Priority words.
int WordPriority(const QByteArray& value)
{
    const QByteArray word = value.trimmed().toLower();
    if (word.startsWith("high") || word.startsWith("urgent"))
        return 1;
    if (word.startsWith("low") || word.startsWith("non-urgent"))
        return 3;
    if (word.startsWith("normal"))
        return kNormalPriority;
    return -1;
}

} // namespace

TMimeMessage::TMimeMessage() = default;
TMimeMessage::~TMimeMessage() = default;

void TMimeMessage::Clear()
{
    FHeaders.Clear();
    FExtraHeaders.Clear();
    FGeneratedHeaders.Clear();
    FBody.clear();
    FContentType = "text/plain";
    FCharset.clear();
    FParts.clear();
    FContainers.clear();
}

int TMimeMessage::AddContainer(TMimeContainer container)
{
    FContainers.push_back(std::move(container));
    return static_cast<int>(FContainers.size()) - 1;
}

bool TMimeMessage::IsStandardHeader(QByteArrayView name)
{
    for (const char* standard : kStandardHeaders)
        if (name.compare(QByteArrayView(standard), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QByteArray TMimeMessage::TransferEncoding() const
{
    return FHeaders.Value("Content-Transfer-Encoding").trimmed().toLower();
}

void TMimeMessage::RemovePart(int index)
{
    FParts.erase(FParts.begin() + index);
}

int TMimeMessage::AttachmentCount() const
{
    int count = 0;
    for (const auto& part : FParts)
        count += part->Kind() == TMimePart::TKind::Attachment ? 1 : 0;
    return count;
}

int TMimeMessage::FirstTextPart(QByteArrayView type) const
{
    for (int i = 0; i < PartCount(); ++i)
        if (Part(i).Kind() == TMimePart::TKind::Text && Part(i).ContentType().startsWith(type))
            return i;
    return -1;
}

std::unique_ptr<TMimeAttachment> TMimeMessage::CreateAttachment() const
{
    if (OnCreateAttachment)
        if (std::unique_ptr<TMimeAttachment> attachment = OnCreateAttachment())
            return attachment;
    return std::make_unique<TMimeAttachment>();
}

THeaderEncoding TMimeMessage::HeaderEncoding() const
{
    return OnHeaderEncoding ? OnHeaderEncoding() : DefaultHeaderEncoding();
}

QDateTime TMimeMessage::Date() const
{
    const QByteArray value = FHeaders.Value("Date");
    if (value.isEmpty())
        return {};
    EnsureGMimeInitialized();
    GDateTime* date = g_mime_utils_header_decode_date(value.constData());
    if (!date)
        return {};
    const qint64 seconds = g_date_time_to_unix(date);
    const int offset = static_cast<int>(g_date_time_get_utc_offset(date) / G_TIME_SPAN_SECOND);
    g_date_time_unref(date);
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::OffsetFromUTC, offset);
}

int TMimeMessage::Priority() const
{
    int priority = XPriority(FHeaders.Value("X-Priority"));
    for (const char* name : {"Importance", "Priority", "X-MSMail-Priority"})
        if (priority < 0)
            priority = WordPriority(FHeaders.Value(name));
    return priority < 0 ? kNormalPriority : priority;
}

void TMimeMessage::AddressList(QByteArrayView name, CharsetId charset, TWideIdEMailAddressList& list) const
{
    list.SetAddressListText(DecodeHeaderField(FHeaders.Value(name), charset));
}
