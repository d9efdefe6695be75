#pragma once

#include "base/ExtThread.h"
#include "content/spell/SpellBackground.h"

#include <QObject>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TRichSpellCheckerDlg;

// Underlines the misspelled words of a rich edit with a red wavy line
// while the edit is editable. The text is checked against the shared
// checker on a worker thread once typing has paused for kDelayMs; a change
// of the text cancels a check under way, so typing never waits for one.
// The marks are extra selections of the edit: they change neither the
// document, nor its undo steps, nor its modified flag, and they follow the
// text as it is edited. A mark the user types into or next to goes at
// once and comes back with the next check if the word is still wrong.
class TSpellUnderliner : public QObject
{
    Q_OBJECT
public:
    // Attaches to the edit and goes with it.
    explicit TSpellUnderliner(QTextEdit* edit);
    ~TSpellUnderliner() override;

    // The pause after the last change before the text is checked.
    static constexpr int kDelayMs = 400;

    // The marked words, in document positions, in order.
    [[nodiscard]] std::vector<TSpellRange> MarkedRanges() const;
    // From the start of a background check until its result is taken.
    [[nodiscard]] bool Checking() const { return FRunning.has_value(); }
    // Whether an extra selection is one of these marks.
    [[nodiscard]] static bool IsSpellMark(const QTextEdit::ExtraSelection& selection);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool Active() const { return !FEdit->isReadOnly(); }
    void Activate();
    void Deactivate();
    void ContentsChanged(int position, int removed, int added);
    // The text, the dictionaries or the options changed: a check under way
    // is cancelled and a new one waits for the pause.
    void Invalidate();
    void StartCheck();
    void TakeResult(quint64 generation, const std::vector<TSpellRange>& ranges);
    void FollowChecker(std::shared_ptr<TRichSpellCheckerDlg> checker);
    void SetMarks(const QList<QTextEdit::ExtraSelection>& marks);

    QTextEdit* FEdit;
    QTimer FDelay;
    // Counts the changes; a result counts only for the generation it was
    // started at.
    quint64 FGeneration = 0;
    std::optional<quint64> FRunning;
    std::shared_ptr<TRichSpellCheckerDlg> FChecker;
    QMetaObject::Connection FCheckerChanged;
    QList<QTextEdit::ExtraSelection> FMarks;
    TThreadVar FJob;
};

// Called on the worker thread as each background check starts (tests hold
// a check there). Returns the previous observer.
using TSpellJobObserver = std::function<void()>;
TSpellJobObserver SetSpellJobObserver(TSpellJobObserver observer);
