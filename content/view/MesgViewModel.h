#pragma once

#include "content/CharsetNames.h"
#include "content/MimeMessage.h"
#include "content/MimeParser.h"
#include "content/view/BodyLines.h"
#include "content/view/MesgRebuild.h"
#include "content/view/MesgTextForm.h"
#include "content/view/ViewOptions.h"

#include <QByteArray>
#include <QString>

class TStream;

// What a message view shows, without the widgets: one parsed message turned
// into decoded header fields, a plain body as lines, an HTML body, inline
// images and the attachment list; and, for a message that may be edited,
// the way back from edited fields to a message.
//
// The widget classes of the reading pane, the message window and the list
// preview each own one model and show what it holds:
//
//   TQuickMesgEditor / TMesgEditor (reading pane, message window):
//     TMesgViewModel model;                          // attachments: TAttachmentFastMem
//     item.DecodeInto(model.Message(), TMimeParser::TMode::Deferred);
//     model.DisplayMessage(TViewOptions::FromSettings().ForSubject(item.Subject()),
//                          item.HasState(stUnsent));
//     labels    <- model.Fields().From / To / Subject / Date
//     Body page <- model.Shown() (shown when HasPlainText(); italics per line)
//     HTML page <- model.HtmlText() in a QTextBrowser (when HasHtml()); its
//                  loadResource answers "cid:" URLs with model.CidResource(url)
//                  and nothing else
//     Attach    <- AttachmentCount(), AttachmentName(i), AttachmentSize(i);
//                  open: ShellOpenFile(model.EnsureTempFile(i));
//                  save: model.SaveAttachment(i, path)
//     Header    <- model.HeaderText()
//     charset   -> model.ChangeCharset(id, options)
//     save .txt -> model.SaveAsText(path); .eml -> model.SaveMessageFile(path, edited)
//
//   TMesgPreview (hint texts of the message list, on the parser thread):
//     TMesgViewModel preview(TMesgViewModel::TAttachments::Empty);
//     ... DecodeInto(preview.Message(), Deferred); DisplayMessage(options);
//     hint <- preview.PreviewText(options)
//
// The filters change only what is shown: Shown() of a read-only message is
// filtered, while BodyText(), SaveAsText, SaveMessageFile and
// SaveBodyToStream always write the message's own text. An editable
// (unsent) message is shown unfiltered, so what the user edits and saves is
// the whole text.
//
// A model is used by one thread at a time. Attachments are decoded only
// when opened, saved, dragged or shown inline; the list of names and sizes
// comes from the MIME structure.
class TMesgViewModel
{
public:
    // Memory: attachments decode into memory when needed and can be written
    // to temporary files (views). Empty: attachments keep no data at all
    // (previews).
    enum class TAttachments { Memory, Empty };

    // The decoded header texts of the shown message.
    struct TFields : TMesgFieldTexts
    {
        QString Sender;
        QString ReplyTo;
        QString Organization;
        QString Newsgroups;
        // The first address of From and of To, split into name and address.
        QString FromName;
        QString FromAddress;
        QString ToName;
        QString ToAddress;
    };

    explicit TMesgViewModel(TAttachments attachments = TAttachments::Memory);
    TMesgViewModel(const TMesgViewModel&) = delete;
    TMesgViewModel& operator=(const TMesgViewModel&) = delete;

    // The message object the view shows; fill it (TMesgItem::DecodeInto,
    // LoadSource) and call DisplayMessage. Its attachments are made by the
    // model's kind; it writes header fields as raw 8-bit text in the chosen
    // charset, as they were read.
    [[nodiscard]] TMimeMessage& Message() { return FMessage; }
    [[nodiscard]] const TMimeMessage& Message() const { return FMessage; }
    // Parses a message source into Message(), attachments deferred.
    void LoadSource(const TSharedSource& source);

    // Shows Message() in the charset its content type names. `unsent` is
    // the store's unsent mark of the item: the message is editable when it
    // or the message's own "Unsent" field says so, read-only otherwise.
    void DisplayMessage(const TViewOptions& options, bool unsent = false);
    // Shows the message again in the chosen charset, body and header fields
    // alike (nothing when it is the one chosen already).
    void ChangeCharset(CharsetId charset, const TViewOptions& options);
    // Decodes the message: `charset` becomes the chosen one; with `keep`
    // every text part is read in it, else each in its own charset.
    void LoadMessage(CharsetId charset, bool keep, const TViewOptions& options);
    // Forgets the shown message (the message object too).
    void Clear();

    // An editable view shows the plain body unfiltered. Switching re-makes
    // Shown() from the message's text.
    [[nodiscard]] bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);

    // The charset the user chose or the message named (0: none), and the
    // one the last text part was read in, which the header fields use.
    [[nodiscard]] CharsetId ChosenCharset() const { return FChosenCharset; }
    [[nodiscard]] CharsetId EffectiveCharset() const { return FEffectiveCharset; }

    [[nodiscard]] const TFields& Fields() const { return FFields; }
    // The message's header lines as they stand, one a line.
    [[nodiscard]] QString HeaderText() const;

    [[nodiscard]] bool HasPlainText() const { return FHasPlain; }
    [[nodiscard]] bool HasHtml() const { return FHasHtml; }
    // The plain body as decoded, trimmed at both ends; never filtered.
    [[nodiscard]] const QString& PlainText() const { return FPlainText; }
    // The plain body as shown (ShownBody of content/view/BodyLines.h).
    [[nodiscard]] const TShownBody& Shown() const { return FShown; }
    // The HTML body as decoded; "cid:" links are left for CidResource.
    [[nodiscard]] const QString& HtmlText() const { return FHtmlText; }
    // The HTML body as text (HtmlToText); empty without HTML.
    [[nodiscard]] QString HtmlBodyText() const;
    // The body as saved: the plain text, else the HTML body's text; never
    // filtered.
    [[nodiscard]] QString BodyText() const;

    // The data of the attachment a "cid:" URL names (RFC 2392: the
    // Content-ID without angle brackets, %-escapes decoded, letter case
    // ignored), decoded now; empty for any other URL or an unknown id.
    [[nodiscard]] QByteArray CidResource(const QString& url);
    // The index in the attachment list of the attachment that URL names; -1 when none.
    [[nodiscard]] int CidAttachment(const QString& url) const;

    // The attachments, in part order: names and sizes come from the MIME
    // structure, without decoding.
    // Read from the message object each time, so they always match it.
    [[nodiscard]] int AttachmentCount() const { return FMessage.AttachmentCount(); }
    [[nodiscard]] TMimeAttachment& Attachment(int index);
    [[nodiscard]] const TMimeAttachment& Attachment(int index) const;
    // DisplayName (content/attach/AttachmentNames.h).
    [[nodiscard]] QString AttachmentName(int index);
    // The decoded size; estimated from the encoded content until decoded.
    [[nodiscard]] qint64 AttachmentSize(int index);
    // Writes the attachment to its file in the private temporary folder (to
    // open or drag it) and returns the path; Memory models only.
    QString EnsureTempFile(int index);
    // Saves the attachment's data to a file the user chose.
    void SaveAttachment(int index, const QString& path);

    // The text form of the message (TextForm) in UTF-8, with the body as
    // BodyText() gives it, or the fields and text of an editor.
    void SaveAsText(const QString& path) const;
    static void SaveAsText(const QString& path, const TMesgFieldTexts& fields, const QString& body);
    // Writes the message to a file the user chose; with `edited` the message
    // is rebuilt from the editor's fields first (RebuildMessage).
    void SaveMessageFile(const QString& path, const TEditedMessage* edited = nullptr);
    // Writes the whole message into the stream (the reading pane's Save).
    // An editable message with plain text takes `editedText` as its plain
    // body first, in the effective charset (UTF-8 when that cannot hold
    // it); a read-only one is written with its own body, never with the
    // filtered text the pane shows.
    void SaveBodyToStream(TStream& target, const QString& editedText);

    // The list's hint for the message: PreviewText of content/view/MesgTextForm.h
    // over the plain body, else the HTML body's text.
    [[nodiscard]] QString PreviewText(const TViewOptions& options) const;

private:
    void LoadBody(bool keep);
    void LoadPlain(const QByteArray& body, const QByteArray& label, bool keep);
    void LoadHtml(const QByteArray& body, QByteArray label, bool keep);
    [[nodiscard]] QString DecodeBody(const QByteArray& body, const QByteArray& label, bool keep);
    void DecodeFields();
    [[nodiscard]] QString Field(const char* name) const;

    TAttachments FKind;
    TMimeMessage FMessage;
    TMimeParser FParser;
    TViewOptions FOptions;
    bool FUnsent = false;
    bool FReadOnly = true;
    CharsetId FChosenCharset = 0;
    CharsetId FEffectiveCharset = 0;
    bool FHasPlain = false;
    bool FHasHtml = false;
    QString FPlainText;
    TShownBody FShown;
    QString FHtmlText;
    TFields FFields;
};
