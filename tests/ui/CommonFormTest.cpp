// The commands the message windows share: showing an item, saving the
// shown message, asking to save changes, changing the charset.

#include "content/CharsetConvertors.h"
#include "content/Utf16Funcs.h"
#include "messages/MesgItem.h"
#include "tests/ui/MesgViewTestSupport.h"
#include "ui/mesg/CharsetChooser.h"
#include "ui/mesg/CommonForm.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesg/SaveDialog.h"

#include <QFileInfo>
#include <QLabel>

namespace {

class CommonForm : public ::testing::Test
{
protected:
    CommonForm() { FForm.SetView(&FPane); }

    TMesgItem& Show(const QByteArray& source, bool unsent = false)
    {
        TMesgItem& item = FSandbox.Item(source, unsent);
        TCommonForm::ShowItem(item, FPane);
        return item;
    }

    // Answers the save dialog with `answer` (relative to the sandbox;
    // empty: cancel) and records what it was asked.
    void AnswerSave(const QString& answer)
    {
        FOldSave = SetSaveDialogHandler([this, answer](const TSaveRequest& request) {
            FAsked = request;
            return answer.isEmpty() ? QString() : FSandbox.TempPath(answer);
        });
    }

    ~CommonForm() override
    {
        if (FOldSave)
            SetSaveDialogHandler(FOldSave);
    }

    TMesgViewSandbox FSandbox;
    TQuickMesgEditor FPane;
    TCommonForm FForm;
    TSaveRequest FAsked;
    TSaveDialogHandler FOldSave;
};

TEST_F(CommonForm, ShouldShowADigestWholeAndLeaveTheFilterOn)
{
    ASSERT_TRUE(FSandbox.Settings.Options.AdvertismentFilter());
    Show(ViewBytes("digest.eml"));
    EXPECT_EQ(FPane.BodyEdit()->toPlainText().count(QLatin1String("Get your free mailbox")), 2);
    EXPECT_TRUE(FPane.BodyEdit()->toPlainText().contains(QLatin1String("Thanks, it is fast again.")));
    EXPECT_TRUE(FSandbox.Settings.Options.AdvertismentFilter());
}

TEST_F(CommonForm, ShouldPutTheCaretWhereTheItemKeptIt)
{
    TMesgItem& item = FSandbox.Item(ViewBytes("digest.eml"));
    item.SetCaretPosition(20);
    TCommonForm::ShowItem(item, FPane);
    EXPECT_EQ(FPane.CaretPosition(), 20);
}

struct TNameCase
{
    const char* Name;
    const char* FileName;
    const char* Subject;
    const char* Proposed;
};

class CommonFormSaveAs : public CommonForm, public ::testing::WithParamInterface<TNameCase>
{
};

TEST_P(CommonFormSaveAs, ShouldProposeANameFromTheFileOrTheSubject)
{
    Show("Subject: " + QByteArray(GetParam().Subject) + "\r\n\r\nText\r\n");
    FForm.SetFileName(QString::fromUtf8(GetParam().FileName));
    AnswerSave({});
    EXPECT_FALSE(FForm.SaveShownMessageAs());
    EXPECT_EQ(QFileInfo(FAsked.Start).fileName(), QString::fromUtf8(GetParam().Proposed));
    EXPECT_EQ(FAsked.DefaultSuffix, QStringLiteral("eml"));
    EXPECT_TRUE(FAsked.Filter.startsWith(QLatin1String("Message files (*.eml);;Text files (*.txt)")));
}

INSTANTIATE_TEST_SUITE_P(, CommonFormSaveAs,
                         ::testing::Values(TNameCase{"Reply", "", "Re: Meeting", "re  Meeting"},
                                           TNameCase{"DottedSubject", "", "Version 2.1 import", "Version 2.1 import"},
                                           TNameCase{"PathInSubject", "", "../../etc/passwd", "_.._etc_passwd"},
                                           TNameCase{"FromFile", "/tmp/old/letter.v2.eml", "Other", "letter.v2"}),
                         TCaseName());

TEST_F(CommonForm, ShouldSaveAsMessageFileAndRememberTheName)
{
    Show(ViewBytes("mailing-list.eml"));
    AnswerSave(QStringLiteral("list.eml"));
    EXPECT_TRUE(FForm.SaveShownMessageAs());
    EXPECT_EQ(FForm.FileName(), FSandbox.TempPath(QStringLiteral("list.eml")));
    const auto saved = ParseFile(FForm.FileName());
    EXPECT_EQ(saved->Headers().Value("Message-ID"), QByteArray("<list.1@lists.example.org>"));
    // The message is saved as it came, not as the filters show it.
    EXPECT_TRUE(saved->Body().contains("Hello everyone,"));
}

TEST_F(CommonForm, ShouldReportAFileErrorAndAnswerFalse)
{
    Show(ViewBytes("mailing-list.eml"));
    const QString path = FSandbox.TempPath(QStringLiteral("no/such/folder/x.eml"));
    EXPECT_FALSE(FForm.SaveMessageToFile(path));
    ASSERT_EQ(FSandbox.Boxes.Texts.size(), 1);
    EXPECT_TRUE(FSandbox.Boxes.Texts[0].endsWith(path));
}

TEST_F(CommonForm, ShouldSaveTheFocusedItemWithoutAView)
{
    TCommonForm form;
    EXPECT_ANY_THROW(form.SaveMessageToFile(FSandbox.TempPath(QStringLiteral("x.eml"))));
    TMesgItem& item = FSandbox.Item(ViewBytes("mailing-list.eml"));
    form.FocusedItem = [&item] { return &item; };
    const QString text = FSandbox.TempPath(QStringLiteral("x.txt"));
    EXPECT_FALSE(form.SaveMessageToFile(text));
    EXPECT_TRUE(QString::fromUtf8(ReadTestFile(text)).contains(QLatin1String("Hello everyone,")));
    const QString eml = FSandbox.TempPath(QStringLiteral("x.eml"));
    EXPECT_FALSE(form.SaveMessageToFile(eml));
    EXPECT_EQ(ReadTestFile(eml), ViewBytes("mailing-list.eml"));
}

struct TConfirmCase
{
    const char* Name;
    int Answer;   // the button pressed
    bool Result;
    bool StillModified;
    bool Saved;
};

class CommonFormConfirm : public ::testing::TestWithParam<TConfirmCase>
{
};

TEST_P(CommonFormConfirm, ShouldSaveDiscardOrStay)
{
    TMesgViewSandbox sandbox;
    TMesgEditor editor;
    TCommonForm form;
    form.SetView(&editor);
    TCommonForm::ShowItem(sandbox.Item(ViewBytes("draft.eml"), true), editor);
    const QString path = sandbox.TempPath(QStringLiteral("draft.eml"));
    form.SetFileName(path);
    editor.BodyEdit()->append(QStringLiteral("one more line"));
    ASSERT_TRUE(editor.IsModified());
    sandbox.Boxes.Then(GetParam().Answer);

    EXPECT_EQ(form.ConfirmSave(), GetParam().Result);
    ASSERT_EQ(sandbox.Boxes.Texts.size(), 1);
    EXPECT_EQ(sandbox.Boxes.Texts[0].remove(QLatin1Char('\r')), QStringLiteral("The message has been changed.\nSave the changes?"));
    EXPECT_EQ(editor.IsModified(), GetParam().StillModified);
    EXPECT_EQ(QFileInfo::exists(path), GetParam().Saved);
}

INSTANTIATE_TEST_SUITE_P(, CommonFormConfirm,
                         ::testing::Values(TConfirmCase{"Yes", mrYes, true, false, true},
                                           TConfirmCase{"No", mrNo, true, false, false},
                                           TConfirmCase{"Cancel", mrCancel, false, true, false}),
                         TCaseName());

TEST_F(CommonForm, ShouldShowTheMessageAgainInTheChosenCharset)
{
    const QByteArray source = ViewBytes("koi8-plain.eml");
    Show(source);
    const QString koi8Text = FPane.BodyEdit()->toPlainText();
    const CharsetId cp1251 = CharsetFromName(QStringLiteral("windows-1251"));
    CharsetId offered = 0;
    const TCharsetChooser old = SetCharsetChooser([&](CharsetId current) {
        offered = current;
        return std::optional<CharsetId>(cp1251);
    });
    FForm.ChangeCharsetCommand();
    SetCharsetChooser(old);

    EXPECT_EQ(offered, CharsetFromName(QStringLiteral("koi8-r")));
    EXPECT_EQ(FPane.ChosenCharset(), cp1251);
    const QByteArray body = source.mid(source.indexOf("\r\n\r\n") + 4).trimmed();
    EXPECT_EQ(FPane.BodyEdit()->toPlainText(), DecodeCharsetText(body, cp1251));
    EXPECT_NE(FPane.BodyEdit()->toPlainText(), koi8Text);
    EXPECT_TRUE(FPane.SubjectLabel()->text().contains(DecodeCharsetText("\xF0\xD2\xC9\xD7\xC5\xD4", cp1251)));
}

TEST_F(CommonForm, ShouldDoNothingWhenTheCharsetDialogIsCancelled)
{
    Show(ViewBytes("koi8-plain.eml"));
    const CharsetId before = FPane.ChosenCharset();
    const TCharsetChooser old = SetCharsetChooser([](CharsetId) { return std::optional<CharsetId>(); });
    FForm.ChangeCharsetCommand();
    SetCharsetChooser(old);
    EXPECT_EQ(FPane.ChosenCharset(), before);
}

} // namespace
