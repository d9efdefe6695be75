#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

// The HTML display of a message. A message's HTML comes from whoever sent
// it, so the display reaches nothing outside the message: images load only
// from the message's own parts ("cid:", answered by the resolver) and from
// "data:" URLs; every other resource - web, ftp, local files, style sheets
// - stays empty, so no tracking pixel ever fires and no local file is ever
// read. The display never follows a link itself: a link the user clicks
// opens in the desktop's browser (web, ftp and mail addresses only), and
// one inside the document scrolls to its anchor.
//
// Qt lays out a table as a whole and parses a document as a whole, and a
// newsletter is often one long table: a long document first shows a head
// that fills the view, and the whole replaces it once that head has been
// painted, or before any input reaches the display.
class TMesgBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit TMesgBrowser(QWidget* parent = nullptr);

    // Answers "cid:" URLs with the data of the part they name (empty when
    // none does).
    using TCidResolver = std::function<QByteArray(const QString& url)>;
    void SetCidResolver(TCidResolver resolver) { FCidResolver = std::move(resolver); }

    // Shows a message's HTML; empty text blanks the display.
    void ShowHtml(const QString& html);
    // Replaces a head shown by the whole document at once.
    void ShowWholeDocument();
    [[nodiscard]] bool ShowsWholeDocument() const { return FWholeHtml.isEmpty(); }
    // The text of the whole document, as the reader sees it.
    [[nodiscard]] QString BodyText();

    // The resources the shown document asked for and did not get, in order.
    [[nodiscard]] const QStringList& RefusedResources() const { return FRefused; }

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class TDocument;

    void SetDocumentHtml(const QString& html);
    [[nodiscard]] bool FillsView() const;
    void LinkClicked(const QUrl& url);

    TCidResolver FCidResolver;
    QStringList FRefused;
    // The document whose head is shown; empty once it is shown whole.
    QString FWholeHtml;
    QTimer FWholeTimer;
};

// The data of a "data:" URL (RFC 2397, base64 or percent-encoded);
// empty for any other URL.
[[nodiscard]] QByteArray DataUrlBytes(const QUrl& url);
