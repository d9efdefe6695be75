// The HTML display of a message: nothing outside the message is ever
// fetched or read, and links open only when the user clicks them.

#include "tests/ui/MesgViewTestSupport.h"
#include "ui/mesg/MesgBrowser.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTcpServer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QWheelEvent>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// A small PNG.
QByteArray Png()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QByteArray kPng = Png();

// A long newsletter: one table of numbered rows, far more than a head.
QString LongTable(int rows = 2000)
{
    QString html = QStringLiteral("<table>");
    for (int i = 0; i < rows; ++i)
        html += QStringLiteral("<tr><td>row %1</td><td><a href='https://example.org/%1'>see</a></td></tr>\n").arg(i);
    return html + QStringLiteral("</table>");
}

// The text of a document that shows the HTML in one go.
QString TextOf(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

class MesgBrowser : public ::testing::Test
{
protected:
    MesgBrowser()
    {
        FBrowser.resize(500, 300);
        FBrowser.SetCidResolver([](const QString& url) {
            return url.compare(QLatin1String("cid:logo@x"), Qt::CaseInsensitive) == 0 ? kPng : QByteArray();
        });
    }

    // Whether the document holds the image itself (a refused one is a
    // transparent dot).
    [[nodiscard]] bool ImageLoaded(const QString& url)
    {
        const QVariant resource = FBrowser.document()->resource(QTextDocument::ImageResource, QUrl(url));
        const QImage image = resource.typeId() == QMetaType::QImage ? resource.value<QImage>()
                                                                      : QImage::fromData(resource.toByteArray());
        return image.width() > 1;
    }

    // Clicks the middle of the first fragment that carries the link.
    void ClickLink(const QString& href)
    {
        for (QTextBlock block = FBrowser.document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().anchorHref() != href)
                    continue;
                QTextCursor cursor(FBrowser.document());
                cursor.setPosition(it.fragment().position() + it.fragment().length() / 2);
                const QPoint at = FBrowser.cursorRect(cursor).center();
                QTest::mouseClick(FBrowser.viewport(), Qt::LeftButton, {}, at);
                return;
            }
        }
        ADD_FAILURE() << "no link to " << href.toStdString();
    }

    TMesgViewSandbox FSandbox;
    TMesgBrowser FBrowser;
};

// Where the hostile markup is: at the start of a short document, or after
// a long table, past the head a long document shows first.
class MesgBrowserFetch : public MesgBrowser, public ::testing::WithParamInterface<int>
{
};

TEST_P(MesgBrowserFetch, ShouldFetchNothingOutsideTheMessage)
{
    // A server that would see any request a remote image, style sheet or
    // background made.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString remote = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    // A real local image the message points at, by URL and by path: it
    // must never be opened.
    const QString secret = FSandbox.TempPath(QStringLiteral("secret.png"));
    WriteTestFile(secret, kPng);
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(secret).constData(), IN_OPEN | IN_ACCESS), 0);
    const QString local = QUrl::fromLocalFile(secret).toString();

    const QString filler = GetParam() > 0 ? LongTable(GetParam()) : QString();
    FBrowser.ShowHtml(QStringLiteral("<html><head><link rel=stylesheet href='%1style.css'></head>"
                                     "<body background='%1bg.png'>%5<p style=\"background-image: url(%1css.png)\">x</p>"
                                     "<img src='%1pixel.gif'><img src='%2'><img src='%4'><img src='file:///etc/passwd'>"
                                     "<img src='relative.png'><img src='ftp://127.0.0.1/f.png'>"
                                     "<img src='cid:logo@x'><img src='cid:unknown@x'>"
                                     "<img src='data:image/png;base64,%3'></body></html>")
                          .arg(remote, local, QString::fromLatin1(kPng.toBase64()), secret, filler));
    FBrowser.show();
    Settle(200);
    ASSERT_TRUE(FBrowser.ShowsWholeDocument());
    // What follows a long table is laid out in the background; this lays
    // it out to the end at once, as scrolling there would.
    ASSERT_GT(FBrowser.document()->size().height(), 0);

    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "the local image was opened";
    close(watch);
    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_FALSE(server.waitForNewConnection(100));
    for (const QString& url : {remote + QStringLiteral("pixel.gif"), local, QStringLiteral("file:///etc/passwd"),
                               QStringLiteral("cid:unknown@x")})
        EXPECT_FALSE(ImageLoaded(url)) << url.toStdString();
    EXPECT_TRUE(FBrowser.RefusedResources().contains(local));
    EXPECT_TRUE(FBrowser.RefusedResources().contains(secret));
    EXPECT_TRUE(FBrowser.RefusedResources().contains(remote + QStringLiteral("pixel.gif")));
    // The message's own images show.
    EXPECT_TRUE(ImageLoaded(QStringLiteral("cid:logo@x")));
    EXPECT_FALSE(FBrowser.RefusedResources().contains(QStringLiteral("cid:logo@x")));
    EXPECT_TRUE(FSandbox.Desktop.Opened.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(, MesgBrowserFetch, ::testing::Values(0, 2000),
                         [](const auto& info) { return info.param > 0 ? "AfterALongHead" : "Short"; });

TEST_F(MesgBrowser, ShouldShowTheWholeOfALongDocumentOnceItsHeadIsPainted)
{
    const QString html = LongTable();
    FBrowser.show();
    FBrowser.ShowHtml(html);
    EXPECT_FALSE(FBrowser.ShowsWholeDocument()) << "a long document shows its head first";
    EXPECT_FALSE(FBrowser.toPlainText().contains(QLatin1String("row 1999")));
    FBrowser.repaint();
    Settle();
    ASSERT_TRUE(FBrowser.ShowsWholeDocument());
    EXPECT_EQ(FBrowser.toPlainText(), TextOf(html));
}

TEST_F(MesgBrowser, ShouldGiveTheWholeTextBeforeTheHeadIsPainted)
{
    const QString html = LongTable();
    FBrowser.ShowHtml(html);
    EXPECT_EQ(FBrowser.BodyText(), TextOf(html));
}

TEST_F(MesgBrowser, ShouldDropTheRestOfADocumentReplacedBeforeItCame)
{
    FBrowser.show();
    FBrowser.ShowHtml(LongTable());
    FBrowser.repaint();
    FBrowser.ShowHtml(QStringLiteral("<p>the next message</p>"));
    Settle();
    EXPECT_EQ(FBrowser.toPlainText(), QStringLiteral("the next message"));
}

// Input that reaches the display before the whole document replaced its
// head acts on the whole document, and the replacement never undoes it.
struct TInputCase
{
    const char* Name;
    void (*Send)(TMesgBrowser& browser);
    bool Scrolls;
    bool ToTheEnd;
};

class MesgBrowserInput : public MesgBrowser, public ::testing::WithParamInterface<TInputCase>
{
};

TEST_P(MesgBrowserInput, ShouldActOnTheWholeDocument)
{
    const QString html = LongTable();
    FBrowser.show();
    FBrowser.ShowHtml(html);
    ASSERT_FALSE(FBrowser.ShowsWholeDocument());
    GetParam().Send(FBrowser);
    EXPECT_TRUE(FBrowser.ShowsWholeDocument());
    Settle();
    QScrollBar* const bar = FBrowser.verticalScrollBar();
    EXPECT_EQ(bar->value() > 0, GetParam().Scrolls);
    if (GetParam().ToTheEnd) {
        EXPECT_EQ(bar->value(), bar->maximum());
        EXPECT_GE(bar->maximum(), FBrowser.document()->size().height() - FBrowser.viewport()->height() - 1);
    }
    EXPECT_EQ(FBrowser.toPlainText(), TextOf(html));
}

INSTANTIATE_TEST_SUITE_P(
    , MesgBrowserInput,
    ::testing::Values(
        TInputCase{"EndKey", [](TMesgBrowser& browser) { QTest::keyClick(&browser, Qt::Key_End); }, true, true},
        TInputCase{"ClickOnTheText",
                   [](TMesgBrowser& browser) {
                       QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
                   },
                   false, false},
        TInputCase{"Wheel",
                   [](TMesgBrowser& browser) {
                       const QPointF at(20, 20);
                       QWheelEvent wheel(at, browser.viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton,
                                         {}, Qt::NoScrollPhase, false);
                       QApplication::sendEvent(browser.viewport(), &wheel);
                   },
                   true, false},
        TInputCase{"ScrollBarClick",
                   [](TMesgBrowser& browser) {
                       QScrollBar* const bar = browser.verticalScrollBar();
                       QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 30));
                   },
                   true, false}),
    TCaseName());

struct TLinkCase
{
    const char* Name;
    const char* Href;
    bool Opens;
};

class MesgBrowserLinks : public MesgBrowser, public ::testing::WithParamInterface<TLinkCase>
{
};

TEST_P(MesgBrowserLinks, ShouldOpenOnlyWebAndMailLinksAndOnlyOnClick)
{
    const QString href = QString::fromLatin1(GetParam().Href);
    FBrowser.ShowHtml(QStringLiteral("<p><a href=\"%1\">a link that is long enough to click</a></p>").arg(href));
    FBrowser.show();
    Settle();
    EXPECT_TRUE(FSandbox.Desktop.Opened.isEmpty()) << "opened on load";

    ClickLink(href);
    Settle();
    if (GetParam().Opens)
        EXPECT_EQ(FSandbox.Desktop.Opened, QList<QUrl>{QUrl(href)});
    else
        EXPECT_TRUE(FSandbox.Desktop.Opened.isEmpty());
    EXPECT_TRUE(FSandbox.Boxes.Texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(, MesgBrowserLinks,
                         ::testing::Values(TLinkCase{"Https", "https://example.org/page?a=1", true},
                                           TLinkCase{"Http", "http://example.org/", true},
                                           TLinkCase{"Mail", "mailto:someone@example.org", true},
                                           TLinkCase{"Script", "javascript:alert(1)", false},
                                           TLinkCase{"LocalFile", "file:///etc/passwd", false},
                                           TLinkCase{"Data", "data:text/html,<b>x</b>", false},
                                           TLinkCase{"Shell", "vnd.x-program:run", false},
                                           TLinkCase{"Relative", "other.html", false}),
                         TCaseName());

TEST_F(MesgBrowser, ShouldShowTheShellErrorWhenNoProgramOpensALink)
{
    FSandbox.Desktop.OpenResult = false;
    FBrowser.ShowHtml(QStringLiteral("<p><a href=\"https://example.org/\">a link that is long enough</a></p>"));
    FBrowser.show();
    Settle();
    ClickLink(QStringLiteral("https://example.org/"));
    Settle();
    ASSERT_EQ(FSandbox.Boxes.Texts.size(), 1);
    EXPECT_TRUE(FSandbox.Boxes.Texts[0].startsWith(ShellErrorText(srNoAssociation)));
    EXPECT_TRUE(FSandbox.Boxes.Texts[0].contains(QLatin1String("https://example.org/")));
}

TEST(DataUrl, ShouldDecodeBase64AndPercentFormsOnly)
{
    EXPECT_EQ(DataUrlBytes(QUrl(QStringLiteral("data:image/png;base64,") + QString::fromLatin1(kPng.toBase64()))), kPng);
    EXPECT_EQ(DataUrlBytes(QUrl(QStringLiteral("data:text/plain,a%20b"))), QByteArray("a b"));
    EXPECT_TRUE(DataUrlBytes(QUrl(QStringLiteral("http://x/a,b"))).isEmpty());
    EXPECT_TRUE(DataUrlBytes(QUrl(QStringLiteral("data:nocomma"))).isEmpty());
}

} // namespace
