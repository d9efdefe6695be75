#include "content/view/MesgTextForm.h"

#include "base/SafeFile.h"
#include "base/Stream.h"
#include "content/attach/AttachmentNames.h"
#include "content/filters/AdvertismentFilters.h"
#include "content/view/BodyLines.h"
#include "settings/AnsiText.h"
#include "settings/GlobStrings.h"
#include "settings/SystemCodePage.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

constexpr int kPreviewLines = 5;

QString FieldLine(const QString& key, const QString& value)
{
    return FieldCaption(key) + QStringLiteral(": ") + value;
}

QStringList HeaderLines(const TMesgFieldTexts& fields)
{
    return {FieldLine(QStringLiteral("From"), fields.From), FieldLine(QStringLiteral("To"), fields.To),
            FieldLine(QStringLiteral("Subject"), fields.Subject), FieldLine(QStringLiteral("Date"), fields.Date)};
}

} // namespace

QString FieldCaption(const QString& key)
{
    TGlobStrings& lang = Lang();
    const QString caption = lang.NamedValue(lang.SectionIndexOf(QStringLiteral("MesgFields")), key);
    if (!caption.isEmpty())
        return caption;
    if (key == QLatin1String("CC"))
        return QStringLiteral("Cc");
    if (key == QLatin1String("BC"))
        return QStringLiteral("Bcc");
    return key;
}

QString TextForm(const TMesgFieldTexts& fields, const QString& body)
{
    QStringList lines = HeaderLines(fields);
    if (!fields.Bcc.isEmpty())
        lines.insert(2, FieldLine(QStringLiteral("BC"), fields.Bcc));
    if (!fields.Cc.isEmpty())
        lines.insert(2, FieldLine(QStringLiteral("CC"), fields.Cc));
    lines.append(QString());
    lines.append(SplitLines(body));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString PreviewText(const TMesgFieldTexts& fields, QStringList bodyLines, const TViewOptions& options)
{
    QString text = HeaderLines(fields).join(QLatin1Char('\n'));
    ApplyFilters(bodyLines, options);
    StripLeadingSeparators(bodyLines);
    QStringList taken;
    for (qsizetype i = 0; i + 1 < bodyLines.size() && taken.size() < kPreviewLines; ++i) {
        QString line = bodyLines[i];
        if (line.trimmed().isEmpty())
            continue;
        while (line.back().isSpace())
            line.chop(1);
        taken.append(line);
    }
    if (!taken.isEmpty())
        text += QStringLiteral("\n\n") + taken.join(QLatin1Char('\n'));
    return text;
}

void WriteTextFile(const QString& path, const QString& text)
{
    WriteFileSafely(path, text.toUtf8(), TSafeFileStream::TMode::Replace);
}

QString DecodeTextFileAnyForm(const QByteArray& bytes)
{
    if (std::optional<QString> marked = DecodeByteOrderMarked(bytes))
        return *std::move(marked);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? DecodeSystemText(bytes) : text;
}

QString ReadTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return DecodeTextFileAnyForm(file.readAll());
}

QString SaveAsBaseName(const QString& fileName, const QString& subject)
{
    if (!fileName.isEmpty()) {
        const QFileInfo file(fileName);
        const QString suffix = file.suffix();
        return suffix.isEmpty() ? fileName : fileName.chopped(suffix.size() + 1);
    }
    static const QRegularExpression reply(QStringLiteral("re:"), QRegularExpression::CaseInsensitiveOption);
    // Room is left for the extension the dialog adds.
    return FitFileName(CleanFileNameText(QString(subject).replace(reply, QStringLiteral("re "))), kMaxFileNameBytes - 4);
}
