#include "ui/mesg/CommonMesgEditor.h"

#include "base/PrivateMessages.h"
#include "content/view/MesgTextForm.h"
#include "settings/Options.h"
#include "ui/dialogs/OrderButtons.h"
#include "ui/dialogs/OrderListBox.h"
#include "ui/edit/WideRichEdit.h"
#include "ui/mesg/BodyView.h"
#include "ui/mesg/MesgBrowser.h"
#include "ui/mesg/MesgTexts.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The language keys of the grid's rows ("MesgFields"), in row order.
const char* const kGridKeys[] = {"To", "CC", "BC", "Sender", "ReplyTo", "Organization", "NewsGroup"};

TWideRichEdit* NewTextControl(const QString& name, QWidget* parent)
{
    auto* edit = new TWideRichEdit(parent);
    edit->setObjectName(name);
    edit->setAcceptRichText(false);
    edit->setLineWrapMode(QTextEdit::WidgetWidth);
    edit->setTabChangesFocus(true);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

TCommonMesgEditor::TCommonMesgEditor(QWidget* parent)
    : QWidget(parent)
    , TAbstractMesgEditor(TMesgViewModel::TAttachments::Memory)
    , FAttachments(*this)
{
    CreateParts();
    if (TOptions* options = Options()) {
        // Every pane follows the option, through the shared event number.
        connect(options, &TOptions::ShowHeaderChanged, this, [this] {
            QCoreApplication::postEvent(this, new QEvent(EventType(pmShowHeaderChanged)));
        });
        SetHeaderPage(options->ShowHeader());
    }
    UpdateCaptions();
}

TCommonMesgEditor::~TCommonMesgEditor() = default;

void TCommonMesgEditor::CreateParts()
{
    FLayout = new QVBoxLayout(this);
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(2);
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("Pages"));
    FPages->setDocumentMode(true);
    FBodyEdit = NewTextControl(QStringLiteral("BodyEdit"), FPages);
    FBrowser = new TMesgBrowser(FPages);
    FBrowser->setObjectName(QStringLiteral("HtmlView"));
    FBrowser->SetCidResolver([this](const QString& url) { return Model().CidResource(url); });
    FPages->addTab(FBodyEdit, QString());
    FPages->addTab(FBrowser, QStringLiteral("HTML"));
    FPages->addTab(CreateAttachPage(), QString());
    CreateGrid();
    FPages->addTab(FGrid, QString());
    FLayout->addWidget(FPages, 1);
    connect(FPages, &QTabWidget::currentChanged, this, &TCommonMesgEditor::ShowPendingHtml);
}

QWidget* TCommonMesgEditor::CreateAttachPage()
{
    FAttachPage = new QWidget(FPages);
    FAttachPage->setObjectName(QStringLiteral("AttachPage"));
    auto* layout = new QHBoxLayout(FAttachPage);
    FAttachList = new TOrderListBox(FAttachPage);
    FAttachList->setObjectName(QStringLiteral("AttachList"));
    FAttachList->SetDataObject(&FAttachments);
    FAttachButtons = new TOrderButtons(FAttachPage);
    FAttachButtons->setObjectName(QStringLiteral("AttachButtons"));
    FAttachButtons->SetOrientation(Qt::Vertical);
    FAttachButtons->SetListBox(FAttachList);
    for (const int kind : {okSave, okAdd, okDelete})
        FAttachButtons->AddKind(kind);
    // The group lays its buttons out in cells over its own height: keep it
    // as small as the buttons need, at the top beside the list.
    FAttachButtons->resize(0, 0);
    FAttachButtons->LayoutButtons();
    FAttachButtons->setFixedSize(FAttachButtons->size());
    layout->addWidget(FAttachList, 1);
    layout->addWidget(FAttachButtons, 0, Qt::AlignTop);
    // A double click or Return opens the attachment.
    FAttachList->OnClickItem = [this](int row) {
        if (row >= 0)
            FAttachments.Open(row);
    };
    return FAttachPage;
}

void TCommonMesgEditor::CreateGrid()
{
    FGrid = new QTableWidget(grCount, 2, FPages);
    FGrid->setObjectName(QStringLiteral("FieldsGrid"));
    FGrid->verticalHeader()->hide();
    FGrid->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < grCount; ++row) {
        auto* caption = new QTableWidgetItem;
        caption->setFlags(Qt::ItemIsEnabled);
        FGrid->setItem(row, 0, caption);
        FGrid->setItem(row, 1, new QTableWidgetItem);
    }
    connect(FGrid, &QTableWidget::itemChanged, this, [this] {
        if (!FLoading)
            FGridEdited = true;
    });
}

void TCommonMesgEditor::UpdateCaptions()
{
    FPages->setTabText(FPages->indexOf(FBodyEdit), EditorText(QStringLiteral("Body")));
    FPages->setTabText(FPages->indexOf(FAttachPage), EditorText(QStringLiteral("Attach")));
    FPages->setTabText(FPages->indexOf(FGrid), EditorText(QStringLiteral("Add")));
    if (FHeaderEdit)
        FPages->setTabText(FPages->indexOf(FHeaderEdit), EditorText(QStringLiteral("Header")));
    FGrid->setHorizontalHeaderLabels({EditorText(QStringLiteral("Fields")), EditorText(QStringLiteral("Values"))});
    const QSignalBlocker blocker(FGrid);
    for (int row = 0; row < grCount; ++row) {
        const QString caption = FieldCaption(QString::fromLatin1(kGridKeys[row]));
        FGrid->item(row, 0)->setText(row <= grBcc ? caption + QLatin1Char(':') : caption);
    }
    FGrid->resizeColumnToContents(0);
}

void TCommonMesgEditor::SetHeaderPage(bool shown)
{
    if (shown == (FHeaderEdit != nullptr))
        return;
    if (!shown) {
        delete FHeaderEdit.data();
        return;
    }
    FHeaderEdit = NewTextControl(QStringLiteral("HeaderEdit"), FPages);
    FHeaderEdit->setLineWrapMode(QTextEdit::NoWrap);
    FPages->addTab(FHeaderEdit, EditorText(QStringLiteral("Header")));
    FHeaderEdit->setPlainText(Model().HeaderText());
}

void TCommonMesgEditor::customEvent(QEvent* event)
{
    if (event->type() == EventType(pmShowHeaderChanged) && Options())
        SetHeaderPage(Options()->ShowHeader());
    QWidget::customEvent(event);
}

void TCommonMesgEditor::AddTopWidget(QWidget* widget)
{
    FLayout->insertWidget(FLayout->count() - 1, widget);
}

void TCommonMesgEditor::ClearView()
{
    FLoading = true;
    FHtmlPending = false;
    FBodyEdit->clear();
    FBrowser->ShowHtml({});
    if (FHeaderEdit)
        FHeaderEdit->clear();
    FLoading = false;
}

void TCommonMesgEditor::ShowModel()
{
    FLoading = true;
    ShowBodyLines(*FBodyEdit, Model().Shown());
    FHtmlPending = Model().HasHtml();
    FillGrid();
    if (FHeaderEdit)
        FHeaderEdit->setPlainText(Model().HeaderText());
    FAttachList->Refill();
    ApplyReadOnly();
    UpdatePages();
    ShowPendingHtml();
    ShowFields();
    FLoading = false;
    SetModified(false);
}

// Laying out HTML costs far more than showing text (a long newsletter
// takes hundreds of milliseconds), so the HTML page is filled only once it
// is on screen: a message that opens on its Body page shows at once.
void TCommonMesgEditor::ShowPendingHtml()
{
    if (!FHtmlPending || FPages->currentWidget() != FBrowser)
        return;
    FHtmlPending = false;
    FBrowser->ShowHtml(Model().HtmlText());
}

void TCommonMesgEditor::FillGrid()
{
    const TMesgViewModel::TFields& fields = Model().Fields();
    const QString values[grCount] = {fields.To,      fields.Cc,           fields.Bcc,       fields.Sender,
                                     fields.ReplyTo, fields.Organization, fields.Newsgroups};
    const QSignalBlocker blocker(FGrid);
    for (int row = 0; row < grCount; ++row)
        FGrid->item(row, 1)->setText(values[row]);
}

QString TCommonMesgEditor::GridText(TGridRow row) const
{
    return FGrid->item(row, 1)->text();
}

void TCommonMesgEditor::ApplyReadOnly()
{
    const bool readOnly = ReadOnly();
    FBodyEdit->setReadOnly(readOnly);
    const Qt::ItemFlags flags = readOnly ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                         : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    const QSignalBlocker blocker(FGrid);
    for (int row = 0; row < grCount; ++row)
        FGrid->item(row, 1)->setFlags(flags);
}

void TCommonMesgEditor::SetReadOnly(bool readOnly)
{
    if (readOnly == ReadOnly())
        return;
    TAbstractMesgEditor::SetReadOnly(readOnly);
    FLoading = true;
    ShowBodyLines(*FBodyEdit, Model().Shown());
    ApplyReadOnly();
    UpdatePages();
    FLoading = false;
}

bool TCommonMesgEditor::PageShown(QWidget* page) const
{
    return FPages->isTabVisible(FPages->indexOf(page));
}

void TCommonMesgEditor::ShowPage(QWidget* page, bool shown)
{
    const int index = FPages->indexOf(page);
    FPages->setTabVisible(index, shown);
    FPages->setTabEnabled(index, shown);
}

// The Body page shows exactly with plain text, the HTML page exactly with
// HTML; when one of the two was active, it stays active while shown, else
// the other one takes over. The Attach page shows in an editable view, and
// in a read-only one when there are attachments.
void TCommonMesgEditor::UpdatePages()
{
    QWidget* const active = FPages->currentWidget();
    ShowPage(FBodyEdit, Model().HasPlainText());
    ShowPage(FBrowser, Model().HasHtml());
    ShowPage(FAttachPage, !ReadOnly() || Model().AttachmentCount() > 0);
    if (active != FBodyEdit && active != FBrowser) {
        if (PageShown(active))
            FPages->setCurrentWidget(active);
        return;
    }
    QWidget* const other = active == FBodyEdit ? static_cast<QWidget*>(FBrowser) : FBodyEdit;
    if (PageShown(active))
        FPages->setCurrentWidget(active);
    else if (PageShown(other))
        FPages->setCurrentWidget(other);
}

bool TCommonMesgEditor::IsModified() const
{
    return FAttachments.Changed() || FGridEdited || FBodyEdit->document()->isModified();
}

void TCommonMesgEditor::SetModified(bool modified)
{
    FAttachments.SetChanged(modified);
    FGridEdited = modified;
    FBodyEdit->document()->setModified(modified);
}

QString TCommonMesgEditor::BodyText() const
{
    if (!ReadOnly() && Model().HasPlainText())
        return FBodyEdit->toPlainText();
    return TAbstractMesgEditor::BodyText();
}

void TCommonMesgEditor::SaveAsText(const QString& path)
{
    TMesgViewModel::SaveAsText(path, Model().Fields(), BodyText());
}

void TCommonMesgEditor::SaveBodyToStream(TStream& target)
{
    Model().SaveBodyToStream(target, FBodyEdit->toPlainText());
}

int TCommonMesgEditor::CaretPosition() const
{
    return FBodyEdit->textCursor().position();
}

void TCommonMesgEditor::SetCaretPosition(int position)
{
    QTextCursor cursor = FBodyEdit->textCursor();
    cursor.setPosition(std::clamp(position, 0, FBodyEdit->document()->characterCount() - 1));
    FBodyEdit->setTextCursor(cursor);
}
