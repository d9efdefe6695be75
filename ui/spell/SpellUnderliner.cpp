#include "ui/spell/SpellUnderliner.h"

#include "ui/spell/RichSpellChecker.h"
#include "ui/spell/SharedSpellChecker.h"

#include <QEvent>
#include <QTextDocument>

#include <atomic>

namespace {

TSpellJobObserver& JobObserver()
{
    static TSpellJobObserver observer;
    return observer;
}

// Marks the extra selections that are spelling marks, so that those the
// edit holds for other purposes stay when the marks are replaced.
constexpr int kSpellMarkProperty = QTextFormat::UserProperty + 0x5350;

QTextEdit::ExtraSelection SpellMark(QTextDocument* document, const TSpellRange& range)
{
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document);
    mark.cursor.setPosition(static_cast<int>(range.Start));
    mark.cursor.setPosition(static_cast<int>(range.Start + range.Length), QTextCursor::KeepAnchor);
    // Red reads on light and dark backgrounds alike.
    mark.format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    mark.format.setUnderlineColor(QColor(Qt::red));
    mark.format.setProperty(kSpellMarkProperty, true);
    return mark;
}

// One background check of a snapshot of the text. It ends without a result
// when it is stopped (the text changed meanwhile).
class TSpellMarkJob : public TExtThread
{
public:
    using TDone = std::function<void(std::vector<TSpellRange> ranges)>;

    TSpellMarkJob(std::shared_ptr<const TSpellChecker> checker, QString text, TDone done)
        : FChecker(std::move(checker))
        , FText(std::move(text))
        , FDone(std::move(done))
        , FObserver(JobObserver())
    {
    }

    void Stop() override
    {
        FCancelled.store(true);
        TExtThread::Stop();
    }

protected:
    ~TSpellMarkJob() override = default;

    void Execute() override
    {
        if (FObserver)
            FObserver();
        std::vector<TSpellRange> ranges = FindMisspelledWords(*FChecker, FText, &FCancelled);
        if (!FCancelled.load())
            FDone(std::move(ranges));
    }

private:
    // Held here, so the checker stays while the check reads it; the job is
    // freed on the main thread.
    const std::shared_ptr<const TSpellChecker> FChecker;
    const QString FText;
    const TDone FDone;
    const TSpellJobObserver FObserver;
    std::atomic<bool> FCancelled{false};
};

} // namespace

TSpellJobObserver SetSpellJobObserver(TSpellJobObserver observer)
{
    return std::exchange(JobObserver(), std::move(observer));
}

TSpellUnderliner::TSpellUnderliner(QTextEdit* edit)
    : QObject(edit)
    , FEdit(edit)
{
    FDelay.setSingleShot(true);
    FDelay.setInterval(kDelayMs);
    connect(&FDelay, &QTimer::timeout, this, &TSpellUnderliner::StartCheck);
    connect(edit->document(), &QTextDocument::contentsChange, this, &TSpellUnderliner::ContentsChanged);
    edit->installEventFilter(this);
    if (Active())
        Activate();
}

TSpellUnderliner::~TSpellUnderliner()
{
    // The check posts its result to this object: it ends before this goes.
    StopAndFree(FJob, true);
}

bool TSpellUnderliner::IsSpellMark(const QTextEdit::ExtraSelection& selection)
{
    return selection.format.boolProperty(kSpellMarkProperty);
}

std::vector<TSpellRange> TSpellUnderliner::MarkedRanges() const
{
    std::vector<TSpellRange> ranges;
    for (const QTextEdit::ExtraSelection& mark : FMarks)
        ranges.push_back({mark.cursor.selectionStart(), mark.cursor.selectionEnd() - mark.cursor.selectionStart()});
    return ranges;
}

bool TSpellUnderliner::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FEdit && event->type() == QEvent::ReadOnlyChange) {
        if (Active())
            Activate();
        else
            Deactivate();
    }
    return QObject::eventFilter(watched, event);
}

void TSpellUnderliner::Activate()
{
    // The shared checker is made now, when the edit opens for editing,
    // rather than at the first pause in typing.
    FollowChecker(SharedSpellCheckerRef());
    Invalidate();
}

void TSpellUnderliner::Deactivate()
{
    Invalidate();
    FDelay.stop();
    SetMarks({});
}

void TSpellUnderliner::ContentsChanged(int position, int /*removed*/, int added)
{
    // Marks move with the text; one that touches the change may now cover
    // a different word, or a longer one.
    const int end = position + added;
    QList<QTextEdit::ExtraSelection> kept;
    for (const QTextEdit::ExtraSelection& mark : FMarks)
        if (mark.cursor.hasSelection() && (mark.cursor.selectionEnd() < position || mark.cursor.selectionStart() > end))
            kept << mark;
    if (kept.size() != FMarks.size())
        SetMarks(kept);
    Invalidate();
}

void TSpellUnderliner::Invalidate()
{
    ++FGeneration;
    if (FRunning) {
        FJob.Use([](TExtThread* job) { job->Stop(); });
        FRunning.reset();
    }
    if (Active())
        FDelay.start();
}

void TSpellUnderliner::StartCheck()
{
    if (!Active())
        return;
    // A cancelled check may still be winding down: its thread is freed
    // only once it has ended, so that the main thread never waits for it.
    if (const TExtThread* previous = FJob.Get(); previous && !previous->Finished()) {
        FDelay.start();
        return;
    }
    FollowChecker(SharedSpellCheckerRef());
    const quint64 generation = FGeneration;
    auto* job = new TSpellMarkJob(FChecker, FEdit->document()->toPlainText(),
                                  [this, generation](std::vector<TSpellRange> ranges) {
                                      QMetaObject::invokeMethod(
                                          this, [this, generation, ranges = std::move(ranges)] { TakeResult(generation, ranges); },
                                          Qt::QueuedConnection);
                                  });
    FJob.Set(job);
    FRunning = generation;
    job->Start();
}

void TSpellUnderliner::TakeResult(quint64 generation, const std::vector<TSpellRange>& ranges)
{
    if (FRunning != generation)
        return;
    FRunning.reset();
    QList<QTextEdit::ExtraSelection> marks;
    marks.reserve(static_cast<qsizetype>(ranges.size()));
    for (const TSpellRange& range : ranges)
        marks << SpellMark(FEdit->document(), range);
    SetMarks(marks);
}

void TSpellUnderliner::FollowChecker(std::shared_ptr<TRichSpellCheckerDlg> checker)
{
    if (checker == FChecker)
        return;
    disconnect(FCheckerChanged);
    FChecker = std::move(checker);
    FCheckerChanged = connect(FChecker.get(), &TRichSpellChecker::Changed, this, &TSpellUnderliner::Invalidate);
}

void TSpellUnderliner::SetMarks(const QList<QTextEdit::ExtraSelection>& marks)
{
    FMarks = marks;
    QList<QTextEdit::ExtraSelection> all;
    for (const QTextEdit::ExtraSelection& selection : FEdit->extraSelections())
        if (!IsSpellMark(selection))
            all << selection;
    FEdit->setExtraSelections(all + FMarks);
}
