#include "ui/mesg/MesgBrowser.h"

#include "content/view/HtmlText.h"
#include "ui/mesg/ShellOpen.h"

#include <QEvent>
#include <QImage>
#include <QScrollBar>
#include <QTextDocument>

#include <utility>

namespace {

// The first try at a head of a long document, in characters: a few
// screens of a newsletter's table rows.
constexpr qsizetype kHeadLength = 8 * 1024;

} // namespace

// The document of the display. A plain QTextDocument, when its widget
// answers nothing for a resource, reads local files (and relative names)
// itself: that fallback would let a message read any file of the user's.
// This document asks the display and nothing else.
class TMesgBrowser::TDocument : public QTextDocument
{
public:
    explicit TDocument(TMesgBrowser* browser)
        : QTextDocument(browser)
        , FBrowser(browser)
    {
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override { return FBrowser->loadResource(type, name); }

private:
    TMesgBrowser* FBrowser;
};

TMesgBrowser::TMesgBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    setDocument(new TDocument(this));
    // A scroll bar that appears once a long document is laid out narrows
    // the page and makes the whole document be laid out again; one that is
    // always there spares that second pass.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Links are the user's to follow, one click at a time: never navigate
    // inside the control, never hand a link to the desktop on our own.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &TMesgBrowser::LinkClicked);
    FWholeTimer.setSingleShot(true);
    FWholeTimer.setInterval(0);
    connect(&FWholeTimer, &QTimer::timeout, this, &TMesgBrowser::ShowWholeDocument);
    for (QObject* part : {static_cast<QObject*>(this), static_cast<QObject*>(viewport()),
                          static_cast<QObject*>(verticalScrollBar()), static_cast<QObject*>(horizontalScrollBar())})
        part->installEventFilter(this);
}

void TMesgBrowser::ShowHtml(const QString& html)
{
    FWholeHtml.clear();
    FWholeTimer.stop();
    FRefused.clear();
    // Resources of the previous message must not answer for this one.
    document()->clear();
    if (html.isEmpty()) {
        clear();
        return;
    }
    for (qsizetype length = kHeadLength;; length *= 2) {
        const qsizetype head = HtmlHeadLength(html, length);
        if (head == html.size()) {
            SetDocumentHtml(html);
            return;
        }
        SetDocumentHtml(html.left(head));
        if (FillsView())
            break;
    }
    FWholeHtml = html;
}

void TMesgBrowser::ShowWholeDocument()
{
    FWholeTimer.stop();
    if (!FWholeHtml.isEmpty())
        SetDocumentHtml(std::exchange(FWholeHtml, QString()));
}

QString TMesgBrowser::BodyText()
{
    ShowWholeDocument();
    return toPlainText();
}

void TMesgBrowser::SetDocumentHtml(const QString& html)
{
    FRefused.clear();
    setHtml(html);
}

bool TMesgBrowser::FillsView() const
{
    return document()->size().height() >= viewport()->height();
}

// The head is on screen once painted: the whole follows as soon as the
// events waiting now have been handled.
void TMesgBrowser::paintEvent(QPaintEvent* event)
{
    QTextBrowser::paintEvent(event);
    if (!FWholeHtml.isEmpty())
        FWholeTimer.start();
}

// Whatever the user does - a key, a click, the wheel, a scroll bar - acts
// on the whole document, never on its head.
bool TMesgBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->isInputEvent() && !FWholeHtml.isEmpty())
        ShowWholeDocument();
    return QTextBrowser::eventFilter(watched, event);
}

QVariant TMesgBrowser::loadResource(int type, const QUrl& name)
{
    const QString scheme = name.scheme().toLower();
    QByteArray data;
    if (type == QTextDocument::ImageResource) {
        if (scheme == QLatin1String("cid") && FCidResolver)
            data = FCidResolver(name.toString());
        else if (scheme == QLatin1String("data"))
            data = DataUrlBytes(name);
    }
    if (!data.isEmpty())
        return data;
    FRefused.append(name.toString());
    if (type != QTextDocument::ImageResource)
        return {};
    // A refused image must still get an image: given none, Qt's image
    // handler tries the name as a local file itself (with every image
    // extension appended), which would read the user's files and costs a
    // file system look-up per image. A transparent dot takes its place.
    static const QImage blank = [] {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        return image;
    }();
    return blank;
}

void TMesgBrowser::LinkClicked(const QUrl& url)
{
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
        scrollToAnchor(url.fragment());
        return;
    }
    OpenMessageLink(url);
}

QByteArray DataUrlBytes(const QUrl& url)
{
    if (url.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0)
        return {};
    const QByteArray text = url.toEncoded(QUrl::RemoveScheme);
    const qsizetype comma = text.indexOf(',');
    if (comma < 0)
        return {};
    const QByteArray meta = text.left(comma).toLower();
    const QByteArray payload = QByteArray::fromPercentEncoding(text.mid(comma + 1));
    return meta.endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
}
