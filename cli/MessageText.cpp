#include "cli/MessageText.h"

#include "cli/CliCommand.h"
#include "cli/TerminalText.h"

#include "content/CharsetNames.h"
#include "content/IdCoderHeader.h"
#include "content/MesgUtils.h"
#include "content/MimeMessage.h"
#include "content/Utf16Funcs.h"
#include "messages/MesgFields.h"
#include "messages/MesgItem.h"

namespace {

CharsetId CharsetNamed(const QString& name)
{
    const CharsetId id = CharsetFromName(NormalizeCharsetName(name));
    if (id == 0)
        throw ECliError(QStringLiteral("unknown charset \"%1\"").arg(name));
    return id;
}

} // namespace

QString MessageText(TMesgItem& item, const QString& charsetName)
{
    TMimeMessage message;
    item.DecodeInto(message);
    const CharsetId chosen = charsetName.isEmpty() ? 0 : CharsetNamed(charsetName);
    const CharsetId headerCharset = chosen ? chosen : HeaderCharsetOf(message);
    QString text;
    for (const char* name : {"From", "To", "Cc", "Subject"}) {
        const QByteArray value = message.Headers().Value(name);
        // A decoded field is one line, whatever its encoded words hold.
        if (!value.isEmpty() || qstrcmp(name, "Cc") != 0)
            text += QLatin1String(name) + QStringLiteral(": ") + TerminalText(DecodeHeaderField(value, headerCharset)) +
                    QLatin1Char('\n');
    }
    text += QStringLiteral("Date: ") + FormatMessageDate(0, DateTimeToDays(message.Date())) + QStringLiteral("\n\n");
    // Header lines end in LF: so does the body, whatever its source used.
    text += WithLineFeeds(DecodedTextBody(message, chosen));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}
