#include "app/FolderTreeWindow.h"

#include "settings/GlobStrings.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/dialogs/ColumnsDialog.h"
#include "ui/dialogs/SortDialog.h"
#include "ui/mesglist/MesgListView.h"

#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

constexpr int kFolderIdRole = Qt::UserRole;

} // namespace

TFolderTreeWindow::TFolderTreeWindow(QWidget* parent)
    : QWidget(parent)
    , FFolders(std::make_unique<TOEFolders>())
    , FTree(new QTreeWidget)
    , FList(new TMesgListView)
{
    setWindowTitle(QStringLiteral("Vellumo"));
    FTree->setObjectName(QStringLiteral("FolderTree"));
    FTree->setColumnCount(3);
    FTree->setHeaderLabels({QStringLiteral("Folder"), QStringLiteral("Unread"), QStringLiteral("Total")});
    FTree->header()->setStretchLastSection(false);
    FTree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    FList->SetMessages(std::make_unique<TOeMesgItems>());
    FList->Header()->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(FTree);
    splitter->addWidget(FList);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    FFolders->OnFolderChange = [this](int, TStoreId, TStoreId) { Refresh(); };
    connect(FTree, &QTreeWidget::currentItemChanged, this, &TFolderTreeWindow::OpenChosenFolder);
    connect(FList->Header(), &QWidget::customContextMenuRequested, this, &TFolderTreeWindow::ShowHeaderMenu);
    resize(1000, 500);
    splitter->setSizes({300, 700});
    Refresh();
    // A mail program opens on the Inbox.
    ChooseFolder(FFolders->FindSpecialFolder(sfInbox));
}

TFolderTreeWindow::~TFolderTreeWindow() = default;

void TFolderTreeWindow::Refresh()
{
    // The folder shown stays chosen when the tree is built again.
    const QTreeWidgetItem* current = FTree->currentItem();
    const TStoreId shown = current ? current->data(0, kFolderIdRole).toUInt() : kNoStoreId;
    {
        const QSignalBlocker quiet(FTree);
        FTree->clear();
        AddChildren(FTree->invisibleRootItem(), kRootFolderId);
        FTree->expandAll();
    }
    if (shown != kNoStoreId)
        ChooseFolder(shown);
}

bool TFolderTreeWindow::ChooseFolder(TStoreId id)
{
    for (QTreeWidgetItemIterator it(FTree); *it; ++it) {
        if ((*it)->data(0, kFolderIdRole).toUInt() == id) {
            FTree->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

void TFolderTreeWindow::AddChildren(QTreeWidgetItem* parent, quint32 folderId)
{
    FFolders->ForEachChild(folderId, [&](const TFolderProps& props) {
        auto* item = new QTreeWidgetItem(parent);
        // Folder names are 8-bit text; Latin-1 shows every byte until the
        // system code page conversion is in place.
        item->setText(0, QString::fromLatin1(props.Name));
        item->setText(1, QString::number(props.UnreadCount));
        item->setText(2, QString::number(props.MessageCount));
        item->setData(0, kFolderIdRole, props.Id);
        AddChildren(item, props.Id);
        return true;
    });
}

void TFolderTreeWindow::OpenChosenFolder()
{
    const QTreeWidgetItem* item = FTree->currentItem();
    auto& messages = static_cast<TOeMesgItems&>(*FList->Messages());
    if (item)
        messages.SetFolderId(item->data(0, kFolderIdRole).toUInt());
}

void TFolderTreeWindow::ShowHeaderMenu(const QPoint& position)
{
    QMenu menu(this);
    TGlobStrings& lang = Lang();
    menu.addAction(lang.SectionValue(QStringLiteral("MDialogs"), QStringLiteral("ColEditTitle")), this, [this] {
        TColumnsDialog dialog(*FList);
        dialog.Execute();
    });
    menu.addAction(lang.SectionValue(QStringLiteral("MesgSort"), QStringLiteral("Title")), this,
                   [this] { RunSortDialog(*FList); });
    menu.exec(FList->Header()->mapToGlobal(position));
}
