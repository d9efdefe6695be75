#include "content/view/HtmlText.h"
#include "tests/content/ContentTestSupport.h"

namespace {

struct THtmlCase
{
    const char* Name;
    const char16_t* Html;
    const char16_t* Text;
};

class HtmlText : public ::testing::TestWithParam<THtmlCase>
{
};

TEST_P(HtmlText, IsWhatAReaderSees)
{
    EXPECT_EQ(HtmlToText(QString::fromUtf16(GetParam().Html)), QString::fromUtf16(GetParam().Text));
}

INSTANTIATE_TEST_SUITE_P(
    Html, HtmlText,
    ::testing::Values(
        THtmlCase{"ParagraphsHaveAnEmptyLineBetween", u"<p>one</p><P>two</P>", u"one\n\ntwo"},
        THtmlCase{"BreaksAndDivsStartLines", u"a<br>b<div>c</div>d", u"a\nb\nc\nd"},
        THtmlCase{"InlineTagsKeepTheirSpaces", u"The new <b>logo</b> is <i>here</i>.", u"The new logo is here."},
        THtmlCase{"WhiteSpaceCollapses", u"  a \r\n\t  b  ", u"a b"},
        THtmlCase{"PreKeepsItsLayout", u"<pre>  a\r\n    b</pre>after", u"  a\n    b\nafter"},
        THtmlCase{"ScriptStyleTitleAndCommentsVanish",
                  u"<head><title>T</title><style>p{x:1}</style></head><script>if (a<b) x();</script><!-- c -->text",
                  u"text"},
        THtmlCase{"CharacterReferences", u"&lt;&#65;&#x42;&amp;&quot;&nbsp;&euro;&unknown; &#0;",
                  u"<AB&\" €&unknown; \uFFFD"},
        THtmlCase{"ReferenceBeyondTheBasicPlane", u"&#x1F600;", u"😀"},
        THtmlCase{"CellsAreTabSeparated", u"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>",
                  u"a\tb\nc"},
        THtmlCase{"QuotedGreaterThanInsideATag", u"<a href='x>y' title=\"p>q\">link</a>", u"link"},
        THtmlCase{"UnclosedTagEndsTheText", u"text<p class=", u"text"},
        THtmlCase{"LessThanBeforeABlankIsText", u"a < b &lt;c>", u"a < b <c>"},
        THtmlCase{"NoEmptyLinesAtTheEnds", u"<p></p><p></p>x<p></p><br><br><br>", u"x"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct THeadCase
{
    const char* Name;
    const char16_t* Html;
    qsizetype Length;
    const char16_t* Head;
};

class HtmlHead : public ::testing::TestWithParam<THeadCase>
{
};

TEST_P(HtmlHead, EndsBeforeATagOutsideAnyMarkup)
{
    const QString html = QString::fromUtf16(GetParam().Html);
    EXPECT_EQ(html.left(HtmlHeadLength(html, GetParam().Length)), QString::fromUtf16(GetParam().Head));
}

INSTANTIATE_TEST_SUITE_P(
    Html, HtmlHead,
    ::testing::Values(
        THeadCase{"BeforeTheNextTag", u"<p>one</p><p>two</p>", 4, u"<p>one"},
        THeadCase{"AtATagThatStartsThere", u"<p>one</p><p>two</p>", 10, u"<p>one</p>"},
        THeadCase{"NotInsideQuotedAttributes", u"<a href='x>y' title=\"<b>\">link</a>", 3,
                  u"<a href='x>y' title=\"<b>\">link"},
        THeadCase{"NotInsideAComment", u"<p>a<!-- <b> --><i>b</i>", 5, u"<p>a<!-- <b> -->"},
        THeadCase{"NotInsideStyleOrScript", u"<style>p{}</style><script>if (a<b) x();</script><p>t", 20,
                  u"<style>p{}</style><script>if (a<b) x();</script>"},
        THeadCase{"WholeWhenNoTagFollows", u"<p>only text", 5, u"<p>only text"},
        THeadCase{"WholeAfterAnUnclosedComment", u"a<!-- b <p>c", 2, u"a<!-- b <p>c"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(HtmlMetaCharset, FindsEitherFormOfTheMetaElement)
{
    EXPECT_EQ(HtmlMetaCharset("<html><head><META charset=\"UTF-8\"></head>"), QByteArray("UTF-8"));
    EXPECT_EQ(HtmlMetaCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"),
              QByteArray("koi8-r"));
    EXPECT_EQ(HtmlMetaCharset("<p>charset=utf-8</p>"), QByteArray());
    EXPECT_EQ(HtmlMetaCharset("<meta name=\"x\">"), QByteArray());
}

} // namespace
