#pragma once

#include "ui/mesg/AbstractMesgEditor.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/mesg/OrderAttachments.h"

#include <QPointer>
#include <QWidget>

class QTabWidget;
class QTableWidget;
class QVBoxLayout;
class TStream;
class TMesgBrowser;
class TOrderButtons;
class TOrderListBox;


// A message view with its pages: Body (the plain text, quote lines in
// italics), HTML (the safe HTML display), Attach (the attachment list with
// save, add and delete buttons; a double click opens one), Add (the
// additional header fields) and, while the "ShowHeader" option is on,
// Header (the raw header lines). The base of the reading pane and of the
// message window's editor.
class TCommonMesgEditor : public QWidget, public TAbstractMesgEditor
{
    Q_OBJECT
public:
    // The rows of the additional-fields grid, in order.
    enum TGridRow : int { grTo, grCc, grBcc, grSender, grReplyTo, grOrganization, grNewsgroups, grCount };

    explicit TCommonMesgEditor(QWidget* parent = nullptr);
    ~TCommonMesgEditor() override;

    [[nodiscard]] QTabWidget* Pages() const { return FPages; }
    [[nodiscard]] TWideRichEdit* BodyEdit() const { return FBodyEdit; }
    [[nodiscard]] TMesgBrowser* Browser() const { return FBrowser; }
    [[nodiscard]] TOrderListBox* AttachList() const { return FAttachList; }
    [[nodiscard]] TOrderButtons* AttachButtons() const { return FAttachButtons; }
    [[nodiscard]] QTableWidget* FieldsGrid() const { return FGrid; }
    // The Header page's text; none while the page does not exist.
    [[nodiscard]] TWideRichEdit* HeaderEdit() const { return FHeaderEdit; }
    [[nodiscard]] TOrderAttachments& Attachments() { return FAttachments; }
    [[nodiscard]] bool PageShown(QWidget* page) const;

    // Adds or removes the Header page (the "ShowHeader" option).
    void SetHeaderPage(bool shown);
    // Reloads every caption from the language table.
    virtual void UpdateCaptions();

    [[nodiscard]] virtual bool IsModified() const;
    virtual void SetModified(bool modified);
    void SetReadOnly(bool readOnly) override;

    // The body as it is saved: what the user edits in an editable view,
    // the message's own (never the filtered) text otherwise.
    [[nodiscard]] QString BodyText() const override;
    void SaveAsText(const QString& path) override;
    // Writes the whole message into the stream (to store it again): an
    // editable message as edited, a read-only one as it came.
    virtual void SaveBodyToStream(TStream& target);

    [[nodiscard]] int CaretPosition() const;
    void SetCaretPosition(int position);
    // The text of a row of the additional-fields grid.
    [[nodiscard]] QString GridText(TGridRow row) const;

protected:
    void ClearView() override;
    void ShowModel() override;
    void customEvent(QEvent* event) override;
    // Shows the decoded fields in the subclass's own controls.
    virtual void ShowFields() {}
    // Sets the subclass's controls read-only or editable.
    virtual void ApplyReadOnly();
    // Controls that go above the pages.
    void AddTopWidget(QWidget* widget);

private:
    void CreateParts();
    QWidget* CreateAttachPage();
    void CreateGrid();
    void FillGrid();
    void UpdatePages();
    void ShowPendingHtml();
    void ShowPage(QWidget* page, bool shown);

    TOrderAttachments FAttachments;
    QVBoxLayout* FLayout = nullptr;
    QTabWidget* FPages = nullptr;
    TWideRichEdit* FBodyEdit = nullptr;
    TMesgBrowser* FBrowser = nullptr;
    QWidget* FAttachPage = nullptr;
    TOrderListBox* FAttachList = nullptr;
    TOrderButtons* FAttachButtons = nullptr;
    QTableWidget* FGrid = nullptr;
    QPointer<TWideRichEdit> FHeaderEdit;
    bool FGridEdited = false;
    bool FHtmlPending = false;
    bool FLoading = false;
};
