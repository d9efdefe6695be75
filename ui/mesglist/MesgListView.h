#pragma once

#include "messages/MesgSort.h"
#include "settings/IniPersistent.h"
#include "ui/actions/EditInterfaces.h"
#include "ui/list/VirtualListView.h"
#include "ui/mesglist/MesgRowStyle.h"

#include <QByteArray>
#include <QSet>

#include <memory>

class IMesgListClipboard;
class IMesgListTree;
class TMailColumnsList;
class TMesgItem;
class TMesgItems;

// The message list of a browser window: the virtual list over a message
// collection. Its columns are message fields that the user chooses and
// orders; it keeps the collection sorted by a chosen key; it shows read
// state, attachments, priority and flags with icons and font styles; and
// it keeps the selected messages, by their ids, while a folder loads, the
// list is sorted again and the store reports changes.
//
// The list owns no collection of its own choosing: the window hands it the
// store collection (SetMessages). It is the message side of copy, cut,
// paste, delete and drag (ITextEditInterface, through the clipboard of
// MesgListLinks.h) and can be tied to a folder tree.
//
// Implemented by concern: MesgListView.cpp (collection, columns, cells,
// sorting, the selection), MesgListCommands.cpp (clipboard, delete, drag,
// tree, requests) and MesgListSettings.cpp (what the settings file keeps).
class TMesgListView : public TVirtualListView, public ITextEditInterface, public TIniHooks
{
    Q_OBJECT
    Q_PROPERTY(MesgSortKeys::TMessageSort MessageSort READ MessageSort WRITE SetMessageSort)
    Q_PROPERTY(bool InvertSort READ InvertSort WRITE SetInvertSort)
    Q_PROPERTY(TDateTimeDetails DateTimeDetails READ DateTimeDetails WRITE SetDateTimeDetails)
    Q_PROPERTY(QByteArray MesgName READ MesgName WRITE SetMesgName)
    Q_CLASSINFO("Default:MessageSort", "msSubject")
    Q_CLASSINFO("Default:InvertSort", "False")
    Q_CLASSINFO("Default:DateTimeDetails", "ddDateAndTime")

public:
    // How the date columns show a date.
    enum TDateTimeDetails { ddDateAndTime, ddOnlyDate, ddOnlyTime };
    Q_ENUM(TDateTimeDetails)

    explicit TMesgListView(QWidget* parent = nullptr);
    ~TMesgListView() override;

    // ---- the collection
    // The messages shown; an empty plain collection until the owner hands
    // over its own.
    [[nodiscard]] TMesgItems* Messages() const { return FMessages; }
    void SetMessages(std::unique_ptr<TMesgItems> messages);
    // The item that was made current last, with a counted reference; empty
    // when there is none or it has left the collection.
    [[nodiscard]] TSyncItemRef ShownItem();
    // A folder is open and no load runs.
    [[nodiscard]] bool IsReady() const;

    // ---- columns
    [[nodiscard]] TMailColumnsList& MailColumns() const { return *FMailColumns; }
    // The message field of a column; -1 for none.
    [[nodiscard]] int FieldOfColumn(int column) const;
    // The column that shows a field; -1 when the field is hidden.
    [[nodiscard]] int ColumnOfField(int field) const;

    // ---- published
    [[nodiscard]] TMessageSort MessageSort() const { return FMessageSort; }
    // Sorts the collection again when the key changes.
    void SetMessageSort(TMessageSort sort);
    [[nodiscard]] bool InvertSort() const { return FInvertSort; }
    void SetInvertSort(bool invert);
    [[nodiscard]] TDateTimeDetails DateTimeDetails() const { return FDateTimeDetails; }
    void SetDateTimeDetails(TDateTimeDetails details);
    // The message id (Message-ID) of the current item; empty without one.
    [[nodiscard]] QByteArray MesgName();
    // Selects the message with that id; one that the list does not hold
    // yet is selected when it arrives or, at the latest, tried again once
    // the next load has ended.
    void SetMesgName(const QByteArray& name);

    // "MesgListView".
    [[nodiscard]] QString GetSectionName() const override;
    // What the settings file keeps beside the published properties: the
    // columns and the collection's folder, in the list's section.
    void DefineIniProperties(TIniFiler& filer) override;

    // ---- the folder tree
    // Ties the tree to the list (none unties); a previous tree is released.
    void AttachTree(IMesgListTree* tree);
    [[nodiscard]] IMesgListTree* Tree() const { return FTree; }
    // The tree goes: the list forgets it when it is the attached one.
    void ForgetTree(IMesgListTree* tree);
    // The side that has the focus leads (see IMesgListTree::SyncWithList).
    void SyncTree();

    // ---- commands (ITextEditInterface): copy, cut and delete need a
    // selected message, paste a clipboard that accepts what is offered.
    [[nodiscard]] bool CanCopy() const override;
    void Copy() override;
    [[nodiscard]] bool CanCut() const override;
    void Cut() override;
    [[nodiscard]] bool CanPaste() const override;
    void Paste() override;
    [[nodiscard]] bool CanDelete() const override;
    void Delete() override { DeleteSelected(); }
    [[nodiscard]] bool CanSelectAll() const override { return ItemCount() > 0; }
    void SelectAll() override { TIndexListView::SelectAll(); }
    // Deletes the selected messages in the store; the rows go when the
    // store reports the deletion.
    void DeleteSelected() override;
    // The rows of the selected messages as they are now. While a folder
    // loads, messages take their places between the moments the list
    // learns of them: what the collection acts on (delete, copy) is found
    // by the messages' ids, not by rows that may have moved.
    [[nodiscard]] std::vector<int> SelectedRows() const override;

Q_SIGNALS:
    // A row was opened (Enter, double click); emitted under the
    // collection's read lock.
    void ItemOpened(TMesgItem* item);
    // The order of the list changed (key, direction or the columns it follows).
    void SortChanged();

protected:
    std::unique_ptr<TVirtItems> CreateCollection() override;
    void CreateColumns() override;
    QString ItemText(TVirtItem* item, int column) override;
    int ItemImage(TVirtItem* item, int column) override;
    void OpenRow(int row) override;
    void GoUp() override;
    bool CustomDrawControl(QPainter* painter, TDrawStage stage) override;
    bool CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter) override;
    void SetItemCount(int count) override;
    void LockPainting() override;
    void UnlockPainting() override;
    void StartRowDrag(Qt::DropActions supportedActions) override;
    void customEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    // The list shows message collections only (SetMessages).
    using TVirtualListView::SetCollection;

    // Sorting (MesgListView.cpp).
    void HeaderClicked(int column);
    void HeaderReordered();
    void ColumnsChanged();
    // Hands the collection the order of the list; re-sorts when asked.
    void ApplySortOrder(bool resort);
    void UpdateSortIndicator();

    // The selection by id (MesgListView.cpp).
    void RememberSelection();
    // Selects the remembered messages at their present rows.
    void RestoreSelection();
    // The rows, below `limit`, of the messages remembered as selected, in
    // ascending order: one walk along the collection under its read lock.
    [[nodiscard]] std::vector<int> RowsOfSelectedIds(int limit) const;
    void SelectPendingWhenListed();
    // True from the start of a load until its last message is listed.
    [[nodiscard]] bool LoadRunning();

    // Commands (MesgListCommands.cpp).
    void SyncTreeAfterLoad();
    // The list becomes the clipboard's source, then the collection runs
    // the command that prepares the copy, cut or drag.
    void RunAsClipboardSource(void (TMesgItems::*command)());

    TMesgItems* FMessages = nullptr;
    TMailColumnsList* FMailColumns;
    TMessageSort FMessageSort = msSubject;
    bool FInvertSort = false;
    TDateTimeDetails FDateTimeDetails = ddDateAndTime;
    IMesgListTree* FTree = nullptr;
    IMesgListClipboard* FClipboard;
    // The ids of the selected messages, as the user left them.
    QSet<qintptr> FSelectedIds;
    // Changes of the selection that the list makes itself are not the user's.
    bool FRestoringSelection = false;
    // A mouse press or key press of the user is being handled.
    bool FUserInput = false;
    // The pending name has lived through the start of a load.
    bool FPendingReloaded = false;
    // The folder the tree was last brought in line with.
    quint32 FSyncedFolder = 0xFFFFFFFFu;
    // The style of the row being painted.
    int FStyleRow = -1;
    TRowStyle FStyle;
};
