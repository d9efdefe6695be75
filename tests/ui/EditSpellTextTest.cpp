#include "tests/ui/SpellTestSupport.h"
#include "ui/spell/EditSpellText.h"

#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

class EditSpellText : public TSpellEditTest
{
protected:
    EditSpellText()
        : FText(*FEdit)
    {
    }

    TEditSpellText FText;
};

TEST_F(EditSpellText, ReadsTheDocumentWithItsBreaksAsLineFeeds)
{
    SetText(QStringLiteral("one\ntwo three"));
    // A line break inside a paragraph (Shift+Enter) reads as a line feed too.
    QTextCursor cursor(FEdit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(QChar::LineSeparator) + QStringLiteral("four"));
    ASSERT_EQ(FText.Length(), 18);

    const struct
    {
        qsizetype Start, Count;
        QString Expected;
    } ranges[] = {
        {2, 4, QStringLiteral("e\ntw")},
        {0, 100, QStringLiteral("one\ntwo three\nfour")},
        {12, 3, QStringLiteral("e\nf")},
        {-3, 2, QStringLiteral("on")},
        {17, 10, QStringLiteral("r")},
        {18, 5, QString()},
        {5, -1, QString()},
    };
    for (const auto& range : ranges)
        EXPECT_EQ(FText.TextRange(range.Start, range.Count), range.Expected) << range.Start << "+" << range.Count;
    EXPECT_EQ(FText.LineText(0), QStringLiteral("one"));
    EXPECT_EQ(FText.LineText(4), QStringLiteral("two three\nfour"));
    EXPECT_EQ(FText.LineText(99), QStringLiteral("two three\nfour"));
}

TEST_F(EditSpellText, SelectsAndReplacesThroughTheEditsCursorAsUndoableSteps)
{
    SetText(QStringLiteral("one helo two"));
    FText.Select(4, 4);
    EXPECT_EQ(FEdit->textCursor().selectedText(), QStringLiteral("helo"));
    EXPECT_EQ(FText.CaretPosition(), 4);
    FText.ReplaceSelection(QStringLiteral("hello"));
    EXPECT_EQ(Text(), QStringLiteral("one hello two"));
    EXPECT_EQ(FEdit->textCursor().position(), 9);
    EXPECT_FALSE(FEdit->textCursor().hasSelection());
    FText.Select(0, 4);
    FText.ReplaceSelection(QString());
    EXPECT_EQ(Text(), QStringLiteral("hello two"));
    FEdit->undo();
    EXPECT_EQ(Text(), QStringLiteral("one hello two"));
    FEdit->undo();
    EXPECT_EQ(Text(), QStringLiteral("one helo two"));
    FText.Select(10, 50);
    EXPECT_EQ(FEdit->textCursor().selectedText(), QStringLiteral("wo"));
}

} // namespace
