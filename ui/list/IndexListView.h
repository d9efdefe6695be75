#pragma once

#include "base/ScopedBatch.h"
#include "ui/list/ListColumns.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QIcon>
#include <QList>
#include <QMenu>
#include <QPointer>

#include <utility>
#include <vector>

class QHeaderView;
class TIndexListModel;

// What one cell shows.
struct TCellData
{
    QString Text;
    int Image = -1;        // index into the small images, -1 none
    int Indent = 0;        // in image widths
    int StateImage = -1;   // index into the state images, -1 none
    bool HasCheck = false; // the control shows check boxes
    bool Checked = false;
};

// Stages of custom drawing.
enum class TDrawStage { PrePaint, PostPaint };

// A report-style list in virtual mode: rows are known only by their index.
// The control holds a row count and asks for the text and image of a cell
// whenever it paints that cell, so memory and paint time follow the visible
// rows only, whatever the count. Rows have one height; the vertical scroll
// bar counts rows. Columns fit themselves to the visible rows.
//
// Descendants change what the list does by overriding its virtual
// operations; owners learn what happened from its signals.
//
// The class is implemented by concern: IndexListView.cpp (rows, batching,
// options, default operations), IndexListColumns.cpp (columns, header,
// fitting), IndexListInput.cpp (keys, type-ahead, mouse, hints),
// IndexListGeometry.cpp (the item view's geometry) and
// IndexListPainting.cpp (painting).
class TIndexListView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit TIndexListView(QWidget* parent = nullptr);
    ~TIndexListView() override;

    // The menu that the mouse's right button or the keyboard's menu key
    // opens over the rows; none by default. The control does not own it.
    void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

    // ---- rows
    // The number of rows the control holds.
    [[nodiscard]] int ItemCount() const;
    // Tells the control there are `count` rows without invalidating every
    // row; a negative count is ignored.
    virtual void SetItemCount(int count);
    // Removes one row from the control.
    void DeleteRow(int row);
    [[nodiscard]] int SelectedCount() const;
    // The focused row; without one the first selected row; else -1.
    [[nodiscard]] int ItemIndex() const;
    // Clears the selection; a row in range is then selected, focused and
    // scrolled into view, and -1 leaves no row focused.
    void SetItemIndex(int row);
    [[nodiscard]] bool IsSelected(int row) const;
    void SelectAll();
    void ClearSelection();
    void MakeVisible(int row);
    void RedrawRow(int row);
    void RedrawVisibleRows();
    // The selected rows as ascending, disjoint ranges (first, last).
    [[nodiscard]] std::vector<std::pair<int, int>> SelectedRanges() const;
    [[nodiscard]] int TopRow() const;
    // Rows that fit whole into the client area.
    [[nodiscard]] int RowsPerPage() const;
    [[nodiscard]] int RowHeight() const { return FRowHeight; }
    [[nodiscard]] int RowAt(int y) const;
    [[nodiscard]] QRect RowRect(int row) const;

    // ---- update batching (nestable); painting is locked while above 0.
    void BeginUpdate();
    void EndUpdate();
    [[nodiscard]] int UpdateCount() const { return FUpdateCount; }

    // ---- columns
    int AddColumn(const QString& caption, Qt::Alignment alignment = Qt::AlignLeft);
    void ClearColumns();
    // Drops the columns and builds them anew through CreateColumns, then fits them.
    void RebuildColumns();
    [[nodiscard]] const std::vector<TListColumn>& Columns() const { return FColumns; }
    // The header of a column shows the small image (-1 none) and offers
    // the hint as its tooltip and accessible text.
    void SetColumnDecoration(int column, int image, const QString& hint);
    // Sets a column's width by the column width rule.
    void SetColumnWidth(int column, int width);
    [[nodiscard]] int AutoSizeColumn() const { return FAutoSizeColumn; }
    void SetAutoSizeColumn(int column) { FAutoSizeColumn = column; }
    // Set by the owning window while it is moved or sized.
    void SetFittingSuspended(bool suspended) { FFittingSuspended = suspended; }
    [[nodiscard]] bool FittingSuspended() const { return FFittingSuspended; }
    [[nodiscard]] QHeaderView* Header() const { return FHeader; }

    // ---- view options
    void SetMultiSelect(bool on);
    [[nodiscard]] bool MultiSelect() const;
    virtual void SetCheckBoxes(bool on);
    [[nodiscard]] bool CheckBoxes() const { return FCheckBoxes; }
    void SetGridLines(bool on);
    void SetOwnerDraw(bool on);
    void SetHeaderDragDrop(bool on);
    void SetSmallImages(QList<QIcon> images);
    // A small image by its index; a null icon for an index without one.
    [[nodiscard]] QIcon SmallImage(int index) const;
    void SetStateImages(QList<QIcon> images);
    [[nodiscard]] int DragStartRow() const { return FDragStartRow; }

    // ---- operations
    // Fits the column widths to the visible rows.
    virtual void FitColumns();
    // The row whose first-column text starts with `text` (letter case
    // ignored), scanning from `startRow`; -1 none.
    virtual int FindRow(const QString& text, bool wrap, int startRow);
    // The parts of a cell to paint.
    virtual TCellData FetchDisplayData(int row, int column);
    // Empty here.
    virtual QString CellText(int row, int column);
    // -1 here.
    virtual int CellImage(int row, int column);

    // ---- QAbstractItemView
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForColumn(int column) const override;
    void keyboardSearch(const QString& search) override;

Q_SIGNALS:
    void ColumnClicked(int column);
    void ColumnRightClicked(int column, const QPoint& globalPoint);
    // The user dragged a column to another place in the header.
    void ColumnsReordered();
    void RowDeleted(int row);
    // A single row's selection changed; a run of rows is told as a range.
    void RowSelectionChanged(int row, bool selected);
    void RowRangeSelectionChanged(int first, int last, bool selected);
    // The focused row changed; -1 when no row has the focus.
    void FocusedRowChanged(int row);

protected:
    // Before and after the rows are painted; false skips the rows. True here.
    virtual bool CustomDrawControl(QPainter* painter, TDrawStage stage);
    // The rows about to be painted; true when the descendant prepared them. False here.
    virtual bool CacheHint(int first, int last);
    // A run of rows was selected or unselected; emits RowRangeSelectionChanged.
    virtual bool StateChange(int first, int last, bool selected);
    // Before a cell is drawn; may change the option; false skips the
    // default drawing. True here.
    virtual bool CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter);
    // The hint of a row: its first-column text here.
    virtual QString RowHintText(int row);
    // An owner-drawn row: the background and the first column's text here.
    virtual void DrawRow(int row, const QRect& rect, bool selected, QPainter* painter);
    // Emit RowSelectionChanged and FocusedRowChanged.
    virtual void SelectionChanged(int row, bool selected);
    virtual void FocusChanged(int row);
    virtual void LockPainting();
    virtual void UnlockPainting();
    // Builds the columns; nothing here.
    virtual void CreateColumns();
    // Enter and double click open a row, Backspace goes up, Space toggles
    // the check mark; descendants that know their items act on them.
    virtual void OpenRow(int row);
    virtual void GoUp();
    virtual void ToggleCheck(int row);
    // A drag of the selected rows begins (the press allowed one): the item
    // view's own drag of its model's data here.
    virtual void StartRowDrag(Qt::DropActions supportedActions);

    void customEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

    // True while paintEvent runs: changes of the row count wait until it ends.
    [[nodiscard]] bool Painting() const { return FPainting; }
    // Removes rows first to last from the control (not from any collection).
    void RemoveRows(int first, int last);

private:
    // Columns and header (IndexListColumns.cpp).
    void ConnectHeader();
    void MeasureColumns();
    [[nodiscard]] int CellContentWidth(const TCellData& data, int column) const;
    void ApplyHeaderWidths();
    // Resizes a header section without taking it for the user's drag.
    void ResizeSection(int column, int width);
    void HeaderSectionResized(int logical, int oldSize, int newSize);
    void HeaderHandleDoubleClicked(int logical);
    void HeaderSectionMoved();
    void HeaderContextMenu(const QPoint& pos);

    // Shows or hides the scroll bars now that the rows or the columns fit
    // the viewport or no longer do, and fits the columns to it (IndexListGeometry.cpp).
    void SettleScrollBars();
    [[nodiscard]] bool ScrollBarsSettled() const;

    // Input and hints (IndexListInput.cpp).
    void ShowRowHint(const QPoint& pos);
    void ContextMenuFromKeyboard(QContextMenuEvent* event);

    // Painting (IndexListPainting.cpp).
    void UpdateRowHeight();
    void PaintRow(QPainter& painter, int row, const QStyleOptionViewItem& base);
    void PaintCell(QPainter& painter, int row, int column, QStyleOptionViewItem option);
    void DrawCell(QPainter& painter, const QStyleOptionViewItem& option);
    static QRect DrawCellImage(QPainter& painter, const QStyleOptionViewItem& option, QRect rect, int margin);
    static void DrawCellText(QPainter& painter, const QStyleOptionViewItem& option, const QRect& rect);
    void PaintGridLines(QPainter& painter, const QRect& rect);
    void PaintFocus(QPainter& painter, const QRect& rect, bool selected);

    TIndexListModel* FModel;
    QHeaderView* FHeader;
    std::vector<TListColumn> FColumns;
    QList<QIcon> FSmallImages;
    QList<QIcon> FStateImages;
    int FAutoSizeColumn = 0;
    int FUpdateCount = 0;
    int FRowHeight = 18;
    int FDragStartRow = -1;
    int FPressRow = -1;
    Qt::KeyboardModifiers FPressModifiers;
    bool FFittingSuspended = false;
    bool FCheckBoxes = false;
    bool FGridLines = false;
    bool FOwnerDraw = false;
    bool FPainting = false;
    QPointer<QMenu> FPopupMenu;
    bool FSettingWidths = false;
    // Rows are being removed: the toolkit moves the focus by itself then,
    // which is not a focus change of the user's.
    bool FRemovingRows = false;
    QString FSearchText;
    QElapsedTimer FSearchTimer;
};

// Begin / end update of a list for the life of the guard.
using TListUpdateGuard = TScopedBatch<TIndexListView, &TIndexListView::BeginUpdate, &TIndexListView::EndUpdate>;
