#include "content/view/HtmlText.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

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

// The first ">" at or after `from` that ends a tag; quoted attribute
// values may hold ">". The text's end when there is none.
qsizetype TagEnd(const QString& html, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i;
        }
    }
    return html.size();
}

// Just past the first `marker` at or after `from` (any case); the text's
// end when there is none.
qsizetype SkipPast(const QString& html, qsizetype from, const QString& marker)
{
    const qsizetype found = html.indexOf(marker, from, Qt::CaseInsensitive);
    return found < 0 ? html.size() : found + marker.size();
}

// Elements whose content is never shown as text.
bool IsRawText(const QString& tag)
{
    return tag == QLatin1String("script") || tag == QLatin1String("style") || tag == QLatin1String("title");
}

// A piece of markup: a comment, or a tag with its name in lower case (none
// for "<!DOCTYPE ...>", "<?xml ...?>" and the like).
struct TMarkup
{
    qsizetype End = 0;   // just past the markup
    QString Name;
    bool Closing = false;
};

// The markup that starts at the "<" at `at`. As in browsers, a "<" not
// followed by a tag name or markup is text: then End is `at`. The start tag
// of a script, style or title takes its content and end tag along.
TMarkup ReadMarkup(const QString& html, qsizetype at)
{
    if (QStringView(html).mid(at, 4) == QLatin1String("<!--"))
        return {SkipPast(html, at, QStringLiteral("-->")), {}, false};
    const QChar next = at + 1 < html.size() ? html[at + 1] : QChar();
    if (!next.isLetter() && next != QLatin1Char('/') && next != QLatin1Char('!') && next != QLatin1Char('?'))
        return {at, {}, false};
    const qsizetype end = TagEnd(html, at + 1);
    const QStringView inside = QStringView(html).mid(at + 1, end - at - 1);
    TMarkup markup;
    markup.End = std::min(end + 1, html.size());
    markup.Closing = inside.startsWith(QLatin1Char('/'));
    for (const QChar c : inside.mid(markup.Closing ? 1 : 0)) {
        if (!c.isLetterOrNumber())
            break;
        markup.Name.append(c.toLower());
    }
    if (!markup.Closing && IsRawText(markup.Name)) {
        const qsizetype close = SkipPast(html, markup.End, QStringLiteral("</") + markup.Name);
        markup.End = std::min(TagEnd(html, close) + 1, html.size());
    }
    return markup;
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
        const TMarkup markup = ReadMarkup(FHtml, FAt);
        if (markup.End == FAt) {
            Character(FHtml[FAt]);
            return;
        }
        FAt = markup.End;
        if (markup.Name.isEmpty() || (!markup.Closing && IsRawText(markup.Name)))
            return;
        if (markup.Name == QLatin1String("pre"))
            FPreformatted = !markup.Closing;
        const TBreak kind = BreakOf(markup.Name);
        if (kind != TBreak::Cell || !markup.Closing)   // a cell's TAB goes before it, once
            Break(kind);
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

qsizetype HtmlHeadLength(const QString& html, qsizetype length)
{
    for (qsizetype at = 0;;) {
        at = html.indexOf(QLatin1Char('<'), at);
        if (at < 0)
            return html.size();
        if (at >= length)
            return at;
        const qsizetype end = ReadMarkup(html, at).End;
        at = end > at ? end : at + 1;
    }
}

QByteArray HtmlMetaCharset(const QByteArray& html)
{
    static const QRegularExpression meta(QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    // Only the ASCII markup matters; Latin-1 keeps every byte in place.
    const QRegularExpressionMatch match = meta.match(QString::fromLatin1(html));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}
