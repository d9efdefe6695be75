// TIndexListView: keys, type-ahead search, the mouse, dragging, the
// context menu and the row hints.

#include "ui/Beep.h"
#include "ui/list/IndexListView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

namespace {

// The hint appears below and right of the row's corner by about a cursor's size.
constexpr int kCursorSize = 16;

} // namespace

// ------------------------------------------------------------------ keys

void TIndexListView::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    const int row = ItemIndex();
    if (modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Backspace) {
            GoUp();
            return;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (row >= 0)
                OpenRow(row);
            return;
        }
        // Only a list that shows check marks lets Space change them.
        if (key == Qt::Key_Space && FCheckBoxes) {
            if (row >= 0 && CellText(row, 0) == QStringLiteral(".."))
                Beep();
            else if (row >= 0)
                ToggleCheck(row);
            return;
        }
    }
    if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)
        BeepAtTheEnds(key, row, ItemCount() - 1);
    QAbstractItemView::keyPressEvent(event);
}

void TIndexListView::keyboardSearch(const QString& search)
{
    if (search.isEmpty())
        return;
    // Keys typed in quick succession extend the text; a pause starts anew.
    if (!FSearchTimer.isValid() || FSearchTimer.elapsed() > QApplication::keyboardInputInterval())
        FSearchText.clear();
    FSearchTimer.start();
    FSearchText += search;
    const int current = ItemIndex();
    const int start = FSearchText.size() == 1 ? current + 1 : std::max(current, 0);
    const int row = FindRow(FSearchText, true, start >= ItemCount() ? 0 : start);
    if (row >= 0)
        SetItemIndex(row);
}

// ----------------------------------------------------------------- mouse

void TIndexListView::mousePressEvent(QMouseEvent* event)
{
    FPressRow = RowAt(event->position().toPoint().y());
    FPressModifiers = event->modifiers();
    setFocus(Qt::MouseFocusReason);
    QAbstractItemView::mousePressEvent(event);
}

void TIndexListView::mouseDoubleClickEvent(QMouseEvent*)
{
    const int row = ItemIndex();
    if (row >= 0)
        OpenRow(row);
}

void TIndexListView::startDrag(Qt::DropActions supportedActions)
{
    // With multi-select, Shift or Ctrl extend the selection instead, and a
    // drag starts only from a row that is already selected.
    if (MultiSelect() && ((FPressModifiers & (Qt::ShiftModifier | Qt::ControlModifier)) || !IsSelected(FPressRow)))
        return;
    FDragStartRow = FPressRow;
    StartRowDrag(supportedActions);
}

void TIndexListView::StartRowDrag(Qt::DropActions supportedActions)
{
    QAbstractItemView::startDrag(supportedActions);
}

// ------------------------------------------------- focus and selection

void TIndexListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    // The whole row shows the focus.
    if (previous.isValid())
        RedrawRow(previous.row());
    if (current.isValid())
        RedrawRow(current.row());
    if (!FRemovingRows)
        FocusChanged(current.isValid() ? current.row() : -1);
}

void TIndexListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    // Single rows are told one by one, longer runs as one range.
    const auto tell = [this](const QItemSelection& ranges, bool on) {
        for (const QItemSelectionRange& range : ranges) {
            if (range.top() == range.bottom())
                SelectionChanged(range.top(), on);
            else
                StateChange(range.top(), range.bottom(), on);
        }
    };
    tell(deselected, false);
    tell(selected, true);
}

// ------------------------------------------------- context menu, hints

void TIndexListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!FPopupMenu) {
        QAbstractItemView::contextMenuEvent(event);
        return;
    }
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

bool TIndexListView::event(QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard) {
            ContextMenuFromKeyboard(menu);
            return true;
        }
    }
    return QAbstractItemView::event(event);
}

void TIndexListView::ContextMenuFromKeyboard(QContextMenuEvent* event)
{
    // The menu opens at the centre of the first selected row, when one is in view.
    const auto ranges = SelectedRanges();
    QPoint pos = event->pos();
    if (!ranges.empty()) {
        const QRect rect = RowRect(ranges.front().first).intersected(viewport()->rect());
        if (!rect.isEmpty())
            pos = viewport()->mapTo(this, rect.center());
    }
    QContextMenuEvent moved(QContextMenuEvent::Keyboard, pos, mapToGlobal(pos), event->modifiers());
    QAbstractItemView::event(&moved);
    event->setAccepted(moved.isAccepted());
}

bool TIndexListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        ShowRowHint(static_cast<QHelpEvent*>(event)->pos());
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

void TIndexListView::ShowRowHint(const QPoint& pos)
{
    const int row = RowAt(pos.y());
    if (row < 0) {
        QToolTip::showText(viewport()->mapToGlobal(pos), toolTip(), viewport());
        return;
    }
    const QString text = RowHintText(row);
    const QRect rect = RowRect(row);
    const QPoint at = viewport()->mapToGlobal(rect.topLeft()) + QPoint(kCursorSize, kCursorSize);
    QToolTip::showText(at, text, viewport(), rect);
}
