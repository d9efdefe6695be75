#pragma once

#include "ui/list/ListColumns.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QIcon>
#include <QList>

#include <functional>
#include <memory>
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
class TIndexListView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit TIndexListView(QWidget* parent = nullptr);
    ~TIndexListView() override;

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
    void SetStateImages(QList<QIcon> images);
    [[nodiscard]] int DragStartRow() const { return FDragStartRow; }

    // ---- operations (virtual; the defaults pass to the handlers below)
    // Fits the column widths to the visible rows.
    virtual void FitColumns();
    // The row whose first-column text starts with `text` (letter case
    // ignored), scanning from `startRow`; -1 none.
    virtual int FindRow(const QString& text, bool wrap, int startRow);
    // The parts of a cell to paint.
    virtual TCellData FetchDisplayData(int row, int column);
    virtual QString CellText(int row, int column);
    virtual int CellImage(int row, int column);

    // ---- events
    std::function<int(const QString& text, int startRow)> OnFindRow;
    std::function<bool(int first, int last)> OnCacheHint;
    std::function<bool(int first, int last, bool selected)> OnStateChange;
    std::function<int(int row, int column)> OnCellImage;
    std::function<bool(QPainter* painter, TDrawStage stage)> OnCustomDraw;
    // Called before a cell is drawn; may change the option; false skips the default drawing.
    std::function<bool(int row, int column, QStyleOptionViewItem& option, QPainter* painter)> OnCustomDrawCell;
    std::function<void(int row, QString& text)> OnRowHint;
    std::function<void(int row, const QRect& rect, bool selected, QPainter* painter)> OnDrawRow;
    std::function<void(int row, bool selected)> OnSelectionChanged;
    std::function<void(int row)> OnFocusChanged;
    std::function<void()> OnCreateColumns;
    std::function<void(int column)> OnColumnClick;
    std::function<void(int column, const QPoint& globalPoint)> OnColumnRightClick;
    std::function<void()> OnColumnOrderChanged;
    std::function<void(int row)> OnRowDeleted;

    // ---- QAbstractItemView
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForColumn(int column) const override;
    void keyboardSearch(const QString& search) override;

protected:
    virtual bool CustomDrawControl(QPainter* painter, TDrawStage stage);
    virtual bool CacheHint(int first, int last);
    virtual bool StateChange(int first, int last, bool selected);
    virtual bool CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter);
    // The hint of a row: its first-column text, passed to OnRowHint.
    virtual QString RowHintText(int row);
    virtual void DrawRow(int row, const QRect& rect, bool selected, QPainter* painter);
    virtual void SelectionChanged(int row, bool selected);
    virtual void FocusChanged(int row);
    virtual void LockPainting();
    virtual void UnlockPainting();
    virtual void CreateColumns();
    // Enter and double click open a row, Backspace goes up, Space toggles
    // the check mark; descendants that know their items act on them.
    virtual void OpenRow(int row);
    virtual void GoUp();
    virtual void ToggleCheck(int row);

    void customEvent(QEvent* event) override;
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
    friend class TIndexListModel;

    void PaintRow(QPainter& painter, int row, const QStyleOptionViewItem& base);
    void PaintCell(QPainter& painter, int row, int column, QStyleOptionViewItem option);
    void UpdateRowHeight();
    void MeasureColumns();
    [[nodiscard]] int CellContentWidth(const TCellData& data, int column) const;
    void ApplyHeaderWidths();
    void HeaderSectionResized(int logical, int oldSize, int newSize);
    void HeaderHandleDoubleClicked(int logical);
    void HeaderSectionMoved();
    void ShowRowHint(const QPoint& pos);
    void ContextMenuFromKeyboard(QContextMenuEvent* event);

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
    bool FSettingWidths = false;
    // Rows are being removed: the toolkit moves the focus by itself then,
    // which is not a focus change of the user's.
    bool FRemovingRows = false;
    QString FSearchText;
    QElapsedTimer FSearchTimer;
};

// Begin / end update of a list for the life of the guard.
class TListUpdateGuard
{
public:
    explicit TListUpdateGuard(TIndexListView& list) : FList(list) { FList.BeginUpdate(); }
    ~TListUpdateGuard() { FList.EndUpdate(); }
    TListUpdateGuard(const TListUpdateGuard&) = delete;
    TListUpdateGuard& operator=(const TListUpdateGuard&) = delete;

private:
    TIndexListView& FList;
};
