#include "ui/forms/TriForm.h"

#include "messages/MesgFields.h"
#include "settings/GlobStrings.h"
#include "settings/SystemCodePage.h"
#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/Beep.h"
#include "ui/MessageBoxes.h"
#include "ui/actions/TextToolbar.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesglist/MesgListView.h"
#include "ui/tree/OETreeView.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Splitters three pixels wide that resize live and never snap a pane shut.
void SetUpSplitter(QSplitter* splitter)
{
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    splitter->setOpaqueResize(true);
}

} // namespace

TTriForm::TTriForm(QWidget* parent)
    : TCommonForm(parent)
    , FActionList(new QObject(this))
    , FClient(new QWidget(this))
    , FClientLayout(new QVBoxLayout(FClient))
    , FTextToolbar(new TTextToolbar(FClient))
    , FListPanel(new QSplitter(Qt::Horizontal, FClient))
    , FList(new TMesgListView(FListPanel))
    , FHorzSplitter(new QSplitter(Qt::Vertical, FClient))
    , FMarkReadTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("TriForm"));
    FActionList->setObjectName(QStringLiteral("ActionList1"));
    FClientLayout->setContentsMargins(0, 0, 0, 0);
    FClientLayout->setSpacing(0);
    FClientLayout->addWidget(FTextToolbar);
    FClientLayout->addWidget(FHorzSplitter, 1);
    SetUpSplitter(FListPanel);
    SetUpSplitter(FHorzSplitter);
    FListPanel->addWidget(FList);
    FHorzSplitter->addWidget(FListPanel);
    setCentralWidget(FClient);

    FList->SetMessages(std::make_unique<TOeMesgItems>());
    connect(FList, &TVirtualListView::ListUpdated, this, &TTriForm::ListUpdated);
    connect(FList, &TVirtualListView::ItemBecameCurrent, this, &TTriForm::ShowMessage);
    connect(FList, &TVirtualListView::RowOpened, this, &TTriForm::OpenMessage);
    FocusedItem = [this]() -> TMesgItem* { return static_cast<TMesgItem*>(FList->Messages()->ItemForRow(FList->ItemIndex())); };
    FMarkReadTimer->setInterval(2000);
    connect(FMarkReadTimer, &QTimer::timeout, this, &TTriForm::MarkReadAfterDelay);
    Messages().OnChange = [this](TOeMesgItems*) { CollectionChanged(); };
    Messages().OnConfirmDelete = [this](TOeMesgItems*) { return ConfirmDelete(); };

    CreateActions();
    CreateMenus();
    CreatePopupMenus();
    FillTextToolbar();
    resize(960, 640);
    FList->setFocus();
    Register();
}

TTriForm::~TTriForm()
{
    // The tree refers to the collection, which goes with the list.
    delete FTree;
    FTree = nullptr;
}

TOeMesgItems& TTriForm::Messages() const
{
    return *static_cast<TOeMesgItems*>(FList->Messages());
}

bool TTriForm::ShowTextToolbar() const
{
    return !FTextToolbar->isHidden();
}

void TTriForm::SetShowTextToolbar(bool show)
{
    FTextToolbar->setVisible(show);
}

void TTriForm::SetShowTree(bool show)
{
    if (show == ShowTree())
        return;
    if (show) {
        auto* tree = new TOETreeView(FListPanel);
        FListPanel->insertWidget(0, tree);
        tree->AttachCollection(&Messages());
        tree->OnContextMenu = [this](TFolderTreeView*, const QPoint& globalPos) { ShowFolderMenu(globalPos); };
        // The tree keeps its width when the window is sized; the list takes
        // the rest.
        FListPanel->setStretchFactor(0, 0);
        FListPanel->setStretchFactor(1, 1);
        FTree = tree;
        FitTreeWidth();
        tree->SyncWithCollection();
    } else {
        delete FTree;
        FTree = nullptr;
    }
    RenumberTabOrder();
}

void TTriForm::FitTreeWidth()
{
    // About 38 percent of the panel. The splitter shares out its width in
    // proportion to these sizes until it has been laid out.
    const int width = std::max(FListPanel->width(), 162);
    const int treeWidth = width - static_cast<int>(std::lround(width * 100.0 / 162));
    FListPanel->setSizes({treeWidth, width - treeWidth});
}

void TTriForm::FitPaneHeight()
{
    // The list takes the upper half.
    const int height = std::max(FHorzSplitter->height(), 2);
    FHorzSplitter->setSizes({height / 2, height - height / 2});
}

void TTriForm::showEvent(QShowEvent* event)
{
    TCommonForm::showEvent(event);
    if (!event->spontaneous() && !FShownOnce) {
        if (FTree)
            FitTreeWidth();
        if (FPane)
            FitPaneHeight();
    }
    FShownOnce = true;
}

QString TTriForm::CaptionText() const
{
    TOEFolders& folders = Messages().Folders();
    if (folders.FolderId() == kNoStoreId)
        return {};
    return DecodeSystemText(folders.FolderName());
}

void TTriForm::GoToFolder(TStoreId folder)
{
    if (folder == kNoStoreId)
        return;
    if (FTree && FTree->hasFocus())
        FTree->SetFolderId(folder);
    else
        Messages().SetFolderId(folder);
}

void TTriForm::GoBack()
{
    GoToFolder(FHistory.GoBack());
}

void TTriForm::GoForward()
{
    GoToFolder(FHistory.GoForward());
}

TTriForm* TTriForm::NewBrowser(TStoreId folder)
{
    auto* form = new TTriForm;
    form->SetShowTree(ShowTree());
    form->SetShowEditor(ShowEditor());
    form->SetShowTextToolbar(ShowTextToolbar());
    form->SetShowStatusBar(ShowStatusBar());
    const QRect bounds = geometry();
    form->setGeometry(bounds.left() + 20, bounds.top() + 40, bounds.width() - 20, bounds.height() - 40);
    form->Messages().SetFolderId(folder == kNoStoreId ? Messages().FolderId() : folder);
    form->show();
    return form;
}

void TTriForm::closeEvent(QCloseEvent* event)
{
    // A load lets the event loop run; the window closes once it has stopped.
    if (Messages().Loading()) {
        Messages().StopLoading();
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        event->ignore();
        return;
    }
    if (!MayLeaveShownMessage()) {
        event->ignore();
        return;
    }
    TCommonForm::closeEvent(event);
}

void TTriForm::CollectionChanged()
{
    FShownAt = {};
    FHistory.Visited(Messages().FolderId());
    if (FTree)
        FTree->SyncWithCollection();
    RefreshAll();
    UpdateStatusBar();
}

void TTriForm::ListUpdated()
{
    RefreshAll();
    UpdateStatusBar();
}

bool TTriForm::ConfirmDelete()
{
    Beep();
    return ShowBox(Lang().FormatTextOf(50, TLangSection::ParaCopier), TBoxKind::Confirmation, mbYes | mbNo) == mrYes;
}

void TTriForm::UpdateStatusBar()
{
    if (!ShowStatusBar())
        return;
    const QString format = Lang().SectionValue(QStringLiteral("MesgExpl"), QStringLiteral("StatusBar"));
    statusBar()->showMessage(TGlobStrings::FormatText(
        format, {Messages().Count(), Messages().CountOf(stUnread)}));
}

void TTriForm::RenumberTabOrder()
{
    QWidget* previous = nullptr;
    for (QWidget* control : {static_cast<QWidget*>(FTree), static_cast<QWidget*>(FList), static_cast<QWidget*>(FPane)}) {
        if (!control)
            continue;
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
}
