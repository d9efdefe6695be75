// Misspelt words of a draft are underlined in the message window's editor;
// a received message, which cannot be edited, never is.

#include "base/FastMemoryStream.h"
#include "tests/ui/SpellTestSupport.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/spell/SpellUnderliner.h"

namespace {

TSharedSource SourceOf(const QByteArray& bytes)
{
    auto stream = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(bytes.size()));
    stream->WriteBuffer(bytes.constData(), bytes.size());
    stream->SetPosition(0);
    return stream;
}

class MesgEditorSpelling : public ::testing::Test
{
protected:
    void Show(bool unsent)
    {
        FEditor.Model().LoadSource(
            SourceOf("From: a@example.org\r\nSubject: plan\r\n\r\nThe helo plan for wrold peace\r\n"));
        FEditor.DisplayMessage(TViewOptions(), unsent);
    }

    [[nodiscard]] QStringList Marked() const
    {
        QStringList words;
        const QString text = FEditor.BodyEdit()->toPlainText();
        for (const TSpellRange& range : FEditor.Underliner()->MarkedRanges())
            words << text.mid(range.Start, range.Length);
        return words;
    }

    TSpellSandbox FSpell;
    TBoxAnswers FBoxes;
    TMesgEditor FEditor;
};

TEST_F(MesgEditorSpelling, ShouldUnderlineTheMisspeltWordsOfADraft)
{
    FEditor.show();
    Show(true);
    EXPECT_TRUE(WaitUntil([&] {
        return !FEditor.Underliner()->Checking() && Marked() == QStringList{QStringLiteral("helo"), QStringLiteral("wrold")};
    })) << Marked().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(FEditor.IsModified()) << "underlining is not an edit";
}

TEST_F(MesgEditorSpelling, ShouldNotUnderlineAReceivedMessage)
{
    FEditor.show();
    Show(false);
    Settle(TSpellUnderliner::kDelayMs + 300);
    EXPECT_FALSE(FEditor.Underliner()->Checking());
    EXPECT_TRUE(Marked().isEmpty());
}

} // namespace
