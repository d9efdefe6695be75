#include "ui/mesg/MesgBrowser.h"

#include "ui/mesg/ShellOpen.h"

#include <QImage>
#include <QTextDocument>

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
}

void TMesgBrowser::ShowHtml(const QString& html)
{
    FRefused.clear();
    // Resources of the previous message must not answer for this one.
    document()->clear();
    if (html.isEmpty())
        clear();
    else
        setHtml(html);
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
