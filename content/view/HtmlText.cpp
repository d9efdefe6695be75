#include "content/view/HtmlText.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// The named character references mail bodies use; others stay as written.
const QHash<QString, char16_t>& NamedReferences()
{
    static const QHash<QString, char16_t> names = {
        {QStringLiteral("amp"), u'&'},     {QStringLiteral("lt"), u'<'},      {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'},    {QStringLiteral("apos"), u'\''},   {QStringLiteral("nbsp"), u' '},
        {QStringLiteral("copy"), u'©'},    {QStringLiteral("reg"), u'®'},     {QStringLiteral("trade"), u'™'},
        {QStringLiteral("mdash"), u'—'},   {QStringLiteral("ndash"), u'–'},   {QStringLiteral("hellip"), u'…'},
        {QStringLiteral("laquo"), u'«'},   {QStringLiteral("raquo"), u'»'},   {QStringLiteral("lsquo"), u'‘'},
        {QStringLiteral("rsquo"), u'’'},   {QStringLiteral("ldquo"), u'“'},   {QStringLiteral("rdquo"), u'”'},
        {QStringLiteral("bdquo"), u'„'},   {QStringLiteral("bull"), u'•'},    {QStringLiteral("middot"), u'·'},
        {QStringLiteral("euro"), u'€'},    {QStringLiteral("pound"), u'£'},   {QStringLiteral("yen"), u'¥'},
        {QStringLiteral("cent"), u'¢'},    {QStringLiteral("sect"), u'§'},    {QStringLiteral("deg"), u'°'},
        {QStringLiteral("times"), u'×'},   {QStringLiteral("divide"), u'÷'},  {QStringLiteral("plusmn"), u'±'},
        {QStringLiteral("shy"), u'\u00AD'}, {QStringLiteral("zwnj"), u'\u200C'}, {QStringLiteral("zwj"), u'\u200D'},
    };
    return names;
}

enum class TBreak { None, Line, Paragraph, Cell };

TBreak BreakOf(const QString& tag)
{
    static const QStringList paragraphs = {QStringLiteral("p"),  QStringLiteral("h1"), QStringLiteral("h2"),
                                           QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"),
                                           QStringLiteral("h6"), QStringLiteral("blockquote")};
    static const QStringList lines = {
        QStringLiteral("br"),      QStringLiteral("div"),     QStringLiteral("li"),     QStringLiteral("tr"),
        QStringLiteral("table"),   QStringLiteral("ul"),      QStringLiteral("ol"),     QStringLiteral("dl"),
        QStringLiteral("dt"),      QStringLiteral("dd"),      QStringLiteral("pre"),    QStringLiteral("hr"),
        QStringLiteral("section"), QStringLiteral("article"), QStringLiteral("header"), QStringLiteral("footer"),
        QStringLiteral("address"), QStringLiteral("center"),  QStringLiteral("form"),   QStringLiteral("fieldset"),
        QStringLiteral("body")};
    if (paragraphs.contains(tag))
        return TBreak::Paragraph;
    if (lines.contains(tag))
        return TBreak::Line;
    if (tag == QLatin1String("td") || tag == QLatin1String("th"))
        return TBreak::Cell;
    return TBreak::None;
}

class THtmlReader
{
public:
    explicit THtmlReader(const QString& html) : FHtml(html) {}

    QString Text()
    {
        while (FAt < FHtml.size()) {
            const QChar c = FHtml[FAt];
            if (c == QLatin1Char('<'))
                Markup();
            else if (c == QLatin1Char('&'))
                Reference();
            else
                Character(c);
        }
        return Finished();
    }

private:
    void Markup()
    {
        if (FHtml.mid(FAt, 4) == QLatin1String("<!--")) {
            SkipPast(QStringLiteral("-->"));
            return;
        }
        // As in browsers, "<" not followed by a tag name or markup is text.
        const QChar next = FAt + 1 < FHtml.size() ? FHtml[FAt + 1] : QChar();
        if (!next.isLetter() && next != QLatin1Char('/') && next != QLatin1Char('!') && next != QLatin1Char('?')) {
            Character(FHtml[FAt]);
            return;
        }
        const qsizetype end = TagEnd(FAt + 1);
        const QStringView inside = QStringView(FHtml).mid(FAt + 1, end - FAt - 1);
        FAt = end + 1;
        const bool closing = inside.startsWith(QLatin1Char('/'));
        QString name;
        for (const QChar c : inside.mid(closing ? 1 : 0)) {
            if (!c.isLetterOrNumber())
                break;
            name.append(c.toLower());
        }
        if (name.isEmpty())
            return;   // "<!DOCTYPE ...>", "<?xml ...?>", or a stray "<"
        if (!closing && (name == QLatin1String("script") || name == QLatin1String("style") ||
                         name == QLatin1String("title"))) {
            SkipPast(QStringLiteral("</") + name);
            FAt = TagEnd(FAt) + 1;
            return;
        }
        if (name == QLatin1String("pre"))
            FPreformatted = !closing;
        const TBreak kind = BreakOf(name);
        if (kind != TBreak::Cell || !closing)   // a cell's TAB goes before it, once
            Break(kind);
    }

    // The first ">" at or after `from` that ends a tag; quoted attribute
    // values may hold ">". The text's end when there is none.
    qsizetype TagEnd(qsizetype from) const
    {
        QChar quote;
        for (qsizetype i = from; i < FHtml.size(); ++i) {
            const QChar c = FHtml[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                quote = c;
            } else if (c == QLatin1Char('>')) {
                return i;
            }
        }
        return FHtml.size();
    }

    void SkipPast(const QString& marker)
    {
        const qsizetype found = FHtml.indexOf(marker, FAt, Qt::CaseInsensitive);
        FAt = found < 0 ? FHtml.size() : found + marker.size();
    }

    void Reference()
    {
        static const QRegularExpression reference(QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[A-Za-z][A-Za-z0-9]{1,9});"));
        const QRegularExpressionMatch match =
            reference.match(FHtml, FAt, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        const char32_t code = match.hasMatch() ? CodeOf(match.captured(1)) : 0;
        if (code == 0) {
            Character(FHtml[FAt]);
            return;
        }
        FAt += match.capturedLength();
        for (const QChar c : QString::fromUcs4(&code, 1))
            Character(c, true);
    }

    static char32_t CodeOf(const QString& name)
    {
        bool ok = false;
        char32_t code = 0;
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        else
            return NamedReferences().value(name, 0);
        const bool valid = ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        return valid ? code : 0xFFFD;
    }

    // `literal`: a character from a reference, which white space folding
    // leaves alone (&nbsp; stays a space of its own).
    void Character(QChar c, bool literal = false)
    {
        if (!literal)
            ++FAt;
        if (FPreformatted && c == QLatin1Char('\r'))
            return;   // CR LF line ends: the LF makes the line
        if (!FPreformatted && !literal && c.isSpace()) {
            FPendingSpace = !FText.isEmpty() && !FText.endsWith(QLatin1Char('\n'));
            return;
        }
        if (FPendingSpace)
            FText.append(QLatin1Char(' '));
        FPendingSpace = false;
        FText.append(c);
    }

    void Break(TBreak kind)
    {
        if (kind == TBreak::None)
            return;   // inline elements keep the white space around them
        FPendingSpace = false;
        if (kind == TBreak::Cell) {
            if (!FText.isEmpty() && !FText.endsWith(QLatin1Char('\n')))
                FText.append(QLatin1Char('\t'));
            return;
        }
        if (FText.isEmpty())
            return;
        const int wanted = kind == TBreak::Paragraph ? 2 : 1;
        int have = 0;
        while (have < FText.size() && FText[FText.size() - 1 - have] == QLatin1Char('\n'))
            ++have;
        for (; have < wanted; ++have)
            FText.append(QLatin1Char('\n'));
    }

    QString Finished() const
    {
        QStringList lines;
        bool previousEmpty = true;   // also drops empty lines at the start
        for (const QString& line : FText.split(QLatin1Char('\n'))) {
            QString trimmed = line;
            while (!trimmed.isEmpty() && trimmed.back().isSpace())
                trimmed.chop(1);
            if (trimmed.isEmpty() && previousEmpty)
                continue;
            previousEmpty = trimmed.isEmpty();
            lines.append(trimmed);
        }
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines.join(QLatin1Char('\n'));
    }

    const QString& FHtml;
    qsizetype FAt = 0;
    QString FText;
    bool FPendingSpace = false;
    bool FPreformatted = false;
};

} // namespace

QString HtmlToText(const QString& html)
{
    return THtmlReader(html).Text();
}

QByteArray HtmlMetaCharset(const QByteArray& html)
{
    static const QRegularExpression meta(QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    // Only the ASCII markup matters; Latin-1 keeps every byte in place.
    const QRegularExpressionMatch match = meta.match(QString::fromLatin1(html));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}
