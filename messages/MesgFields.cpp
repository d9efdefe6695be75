#include "messages/MesgFields.h"

#include "content/CharsetNames.h"
#include "content/IdCoderHeader.h"
#include "content/MimeMessage.h"
#include "content/Utf16Funcs.h"
#include "settings/GlobStrings.h"

#include <array>

namespace {

constexpr std::array<const char*, kMailColumnCount> kFieldKeys = {
    "Subject", "FromRealName", "FromEMail", "ToRealName", "ToEmail", "DateSent",
    "DateReceived", "Size", "Attachment", "Priority", "Flagged",
};

CharsetId LabelCharset(const QByteArray& label)
{
    const CharsetId id = CharsetFromName(NormalizeCharsetName(QString::fromLatin1(label)));
    return id != 0 ? id : DefaultMessageCharset();
}

// The first text part whose type begins with `type`; none when absent.
const TMimePart* FirstTextPart(const TMimeMessage& message, QByteArrayView type)
{
    const int index = message.FirstTextPart(type);
    return index < 0 ? nullptr : &message.Part(index);
}

} // namespace

QString MesgFieldKey(int field)
{
    if (field < 0 || field >= kMailColumnCount)
        return {};
    return QLatin1String(kFieldKeys[static_cast<std::size_t>(field)]);
}

QString MesgFieldCaption(int field, bool withIcons)
{
    if (field < 0 || field >= kMailColumnCount || (!withIcons && field >= mcAttachment))
        return {};
    TGlobStrings& lang = Lang();
    return lang.NamedValue(lang.SectionIndexOf(QStringLiteral("MesgFields")), MesgFieldKey(field));
}

CharsetId HeaderCharsetOf(const TMimeMessage& message)
{
    // The message view decodes the plain part and then the HTML part; the
    // last one decoded gives the header charset.
    if (const TMimePart* html = FirstTextPart(message, "text/html"))
        return LabelCharset(html->Charset());
    if (const TMimePart* plain = FirstTextPart(message, "text/plain"))
        return LabelCharset(plain->Charset());
    return LabelCharset(message.Charset());
}

TListHeader DecodeListHeader(const TMimeMessage& message)
{
    const CharsetId charset = HeaderCharsetOf(message);
    const TMimeHeaders& headers = message.Headers();
    return {DecodeHeaderField(headers.Value("Subject"), charset), DecodeHeaderField(headers.Value("From"), charset),
            DecodeHeaderField(headers.Value("To"), charset)};
}
