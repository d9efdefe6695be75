#include "tests/ui/SpellTestSupport.h"
#include "ui/spell/SharedSpellChecker.h"
#include "ui/spell/SpellCheckDialog.h"
#include "ui/spell/SpellOptions.h"
#include "ui/spell/SpellUnderliner.h"
#include "ui/VarControls.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

class SpellUnderline : public TSpellEditTest
{
protected:
    SpellUnderline()
        : FUnderliner(new TSpellUnderliner(FEdit))
    {
    }

    [[nodiscard]] QStringList Marked() const
    {
        QStringList words;
        for (const TSpellRange& range : FUnderliner->MarkedRanges())
            words << Text().mid(range.Start, range.Length);
        return words;
    }

    // Waits until a check has marked exactly these words.
    [[nodiscard]] bool MarksBecome(const QStringList& words)
    {
        return WaitUntil([&] { return !FUnderliner->Checking() && Marked() == words; });
    }

    void Type(const QString& text) { QTest::keyClicks(FEdit, text); }

    TSpellUnderliner* FUnderliner;
};

TEST_F(SpellUnderline, TypingMarksTheMisspelledWordsWithoutTouchingTheDocument)
{
    // A selection the edit shows for another purpose stays beside the marks.
    QTextEdit::ExtraSelection other;
    other.cursor = QTextCursor(FEdit->document());
    other.format.setBackground(Qt::yellow);
    FEdit->setExtraSelections({other});

    Type(QStringLiteral("I saw a helo wrld, (teh) end"));
    QTextDocument* document = FEdit->document();
    const int undoSteps = document->availableUndoSteps();
    const int revision = document->revision();
    const bool modified = document->isModified();
    EXPECT_TRUE(Marked().isEmpty()) << "nothing is checked while the keys come";

    ASSERT_TRUE(MarksBecome({QStringLiteral("helo"), QStringLiteral("wrld"), QStringLiteral("teh")}));
    EXPECT_EQ(document->availableUndoSteps(), undoSteps);
    EXPECT_EQ(document->revision(), revision);
    EXPECT_EQ(document->isModified(), modified);
    EXPECT_EQ(Text(), QStringLiteral("I saw a helo wrld, (teh) end"));
    QTextCursor inWord(document);
    inWord.setPosition(10);
    EXPECT_EQ(inWord.charFormat().underlineStyle(), QTextCharFormat::NoUnderline) << "the text's own format";

    const QList<QTextEdit::ExtraSelection> selections = FEdit->extraSelections();
    ASSERT_EQ(selections.size(), 4);
    EXPECT_FALSE(TSpellUnderliner::IsSpellMark(selections[0]));
    EXPECT_EQ(selections[0].format.background().color(), QColor(Qt::yellow));
    for (qsizetype i = 1; i < selections.size(); ++i) {
        EXPECT_TRUE(TSpellUnderliner::IsSpellMark(selections[i]));
        EXPECT_EQ(selections[i].format.underlineStyle(), QTextCharFormat::SpellCheckUnderline);
        EXPECT_EQ(selections[i].format.underlineColor(), QColor(Qt::red));
    }
}

TEST_F(SpellUnderline, AMarkTheUserTypesIntoGoesAtOnceAndTheNextCheckDecides)
{
    Type(QStringLiteral("helo world"));
    ASSERT_TRUE(MarksBecome({QStringLiteral("helo")}));
    QTextCursor cursor = FEdit->textCursor();
    cursor.setPosition(3);
    FEdit->setTextCursor(cursor);
    Type(QStringLiteral("l"));
    EXPECT_TRUE(Marked().isEmpty());
    FEdit->moveCursor(QTextCursor::End);
    Type(QStringLiteral(" zzxq"));
    EXPECT_TRUE(MarksBecome({QStringLiteral("zzxq")}));
    EXPECT_EQ(Text(), QStringLiteral("hello world zzxq"));
}

TEST_F(SpellUnderline, OnlyAnEditableTextIsMarked)
{
    FEdit->setReadOnly(true);
    SetText(QStringLiteral("helo"));
    QTest::qWait(2 * TSpellUnderliner::kDelayMs);
    EXPECT_FALSE(FUnderliner->Checking());
    EXPECT_TRUE(Marked().isEmpty());
    FEdit->setReadOnly(false);
    ASSERT_TRUE(MarksBecome({QStringLiteral("helo")}));
    FEdit->setReadOnly(true);
    EXPECT_TRUE(Marked().isEmpty());
    EXPECT_TRUE(FEdit->extraSelections().isEmpty());
}

TEST_F(SpellUnderline, MarksFollowWordsAddedInTheDialogAndChangedOptions)
{
    Type(QStringLiteral("Quorvan QWZX"));
    ASSERT_TRUE(MarksBecome({QStringLiteral("Quorvan")}));
    FEdit->moveCursor(QTextCursor::Start);
    Answer([](TSpellCheckDialog& dialog) { Click(dialog.Button(TSpellCheckDialog::bAdd)); });
    ASSERT_TRUE(Check());
    EXPECT_TRUE(MarksBecome({}));

    FDialogs.Then([](TDialog& dialog) {
        Click(dialog.findChild<TVarCheck*>(QStringLiteral("IgnoreAllUpperCase")));
        Click(dialog.OkButton());
    });
    SpellOptions();
    EXPECT_TRUE(MarksBecome({QStringLiteral("QWZX")}));
}

// Holds the background checks at their start until released (or until it
// goes), and records the thread of the first.
class THeldChecks
{
public:
    THeldChecks()
        : FOld(SetSpellJobObserver([this] {
            std::unique_lock lock(FMutex);
            if (FReleased)
                return;
            FHeld = true;
            FWorker = std::this_thread::get_id();
            FChanged.notify_all();
            // A check on the main thread would wait here for ever: the
            // test then fails on the thread instead.
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                FChanged.wait(lock, [this] { return FReleased; });
        }))
    {
    }
    ~THeldChecks()
    {
        Release();
        SetSpellJobObserver(FOld);
    }
    THeldChecks(const THeldChecks&) = delete;
    THeldChecks& operator=(const THeldChecks&) = delete;

    [[nodiscard]] bool Held()
    {
        std::lock_guard lock(FMutex);
        return FHeld;
    }
    [[nodiscard]] std::thread::id Worker()
    {
        std::lock_guard lock(FMutex);
        return FWorker;
    }
    void Release()
    {
        std::lock_guard lock(FMutex);
        FReleased = true;
        FChanged.notify_all();
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    bool FHeld = false;
    bool FReleased = false;
    std::thread::id FWorker;
    TSpellJobObserver FOld;
};

TEST_F(SpellUnderline, TypingGoesOnWhileACheckRunsAndCancelsIt)
{
    THeldChecks held;
    Type(QStringLiteral("helo"));
    ASSERT_TRUE(WaitUntil([&] { return held.Held(); }));
    EXPECT_TRUE(FUnderliner->Checking());
    EXPECT_NE(held.Worker(), std::this_thread::get_id()) << "the check runs on a worker thread";

    // The check is held on its thread; the keys are handled all the same.
    Type(QStringLiteral(" wrld"));
    EXPECT_EQ(Text(), QStringLiteral("helo wrld"));
    EXPECT_FALSE(FUnderliner->Checking()) << "the change cancelled the check";
    held.Release();
    EXPECT_TRUE(MarksBecome({QStringLiteral("helo"), QStringLiteral("wrld")}));
}

TEST_F(SpellUnderline, AnEditThatGoesWhileItsCheckRunsEndsTheCheckFirst)
{
    THeldChecks held;
    Type(QStringLiteral("helo"));
    ASSERT_TRUE(WaitUntil([&] { return held.Held(); }));
    std::thread release([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        held.Release();
    });
    delete FEdit;
    FEdit = nullptr;
    release.join();
    Settle();
}

} // namespace
