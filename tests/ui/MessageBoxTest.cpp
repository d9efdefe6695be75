#include "ui/MessageBoxes.h"

#include "base/Stream.h"
#include "base/ThreadManager.h"
#include "settings/IniErrors.h"
#include "settings/UiHooks.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/UiTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

// Table cases print as their names.
using ::PrintTo;

// What a box showed and how the test answered it.
struct TShownBox
{
    QString Caption;
    QString Text;
    QString DefaultButton;
    QString CancelButton;
    QSize Size;
    QString Copied;
};

class MessageBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallUiHooks();
        FOldObserver = SetBoxObserver([this](TTntMessageForm& box) { Answer(box); });
    }

    void TearDown() override { SetBoxObserver(FOldObserver); }

    // Records the box, then presses the key the test chose (Escape by default).
    void Answer(TTntMessageForm& box)
    {
        TShownBox shown;
        shown.Caption = box.windowTitle();
        shown.Text = box.MessageLabel()->text();
        shown.DefaultButton = box.DefaultButton() ? box.DefaultButton()->text() : QString();
        shown.CancelButton = box.CancelButton() ? box.CancelButton()->text() : QString();
        shown.Size = box.size();
        if (FCopyFirst) {
            QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
            QApplication::sendEvent(&box, &copy);
            shown.Copied = QApplication::clipboard()->text();
        }
        FShown.push_back(shown);
        QKeyEvent key(QEvent::KeyPress, FAnswerKey, Qt::NoModifier);
        QApplication::sendEvent(box.focusWidget() ? box.focusWidget() : &box, &key);
        if (box.isVisible())
            box.done(-1);
    }

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    TBoxObserver FOldObserver;
    std::vector<TShownBox> FShown;
    int FAnswerKey = Qt::Key_Escape;
    bool FCopyFirst = false;
};

struct TButtonsCase
{
    std::string Name;
    TBoxButtons Buttons;
    const char* Default;
    const char* Cancel;
    int Escape;
    int Enter;
};

class BoxButtons : public MessageBoxTest, public ::testing::WithParamInterface<TButtonsCase>
{
};

TEST_P(BoxButtons, DefaultAndCancelButtonsFollowTheButtonSet)
{
    const TButtonsCase& c = GetParam();
    EXPECT_EQ(ShowBox(QStringLiteral("Question?"), TBoxKind::Confirmation, c.Buttons), c.Escape);
    FAnswerKey = Qt::Key_Return;
    EXPECT_EQ(ShowBox(QStringLiteral("Question?"), TBoxKind::Confirmation, c.Buttons), c.Enter);
    ASSERT_EQ(FShown.size(), 2u);
    EXPECT_EQ(FShown[0].DefaultButton, QString::fromUtf8(c.Default));
    EXPECT_EQ(FShown[0].CancelButton, QString::fromUtf8(c.Cancel));
    EXPECT_EQ(FShown[0].Caption, QStringLiteral("Confirm"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxButtons,
    ::testing::Values(TButtonsCase{"YesNoCancel", mbYes | mbNo | mbCancel, "&Yes", "Cancel", mrCancel, mrYes},
                      TButtonsCase{"YesNo", mbYes | mbNo, "&Yes", "&No", mrNo, mrYes},
                      TButtonsCase{"OkOnly", mbOk, "OK", "OK", mrOk, mrOk},
                      TButtonsCase{"RetryCancel", mbRetry | mbCancel, "&Retry", "Cancel", mrCancel, mrRetry},
                      TButtonsCase{"AbortRetryIgnore", mbAbort | mbRetry | mbIgnore, "&Retry", "", mrCancel,
                                   mrRetry}),
    TCaseName());

TEST_F(MessageBoxTest, ConfirmBoxBeepsAndAnswersCancelOnEscape)
{
    EXPECT_EQ(ConfirmBox(QStringLiteral("Save the changes?")), mrCancel);
    EXPECT_EQ(FBeeps.Count, 1);
    ASSERT_EQ(FShown.size(), 1u);
    EXPECT_EQ(FShown[0].Text, QStringLiteral("Save the changes?"));
}

TEST_F(MessageBoxTest, ALongTextWrapsAndTheBoxGrowsInHeightNotWidth)
{
    QString words;
    for (int i = 0; i < 200; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    // A file name with no place to break a line: it breaks anywhere once it does not fit.
    const QString path =
        QStringLiteral("Cannot open file:\n/tmp/") + QStringLiteral("report_2024_final").repeated(20) + QStringLiteral(".eml");
    ShowBox(QStringLiteral("Short."), TBoxKind::Information, mbOk);
    ShowBox(words, TBoxKind::Information, mbOk);
    ShowBox(path, TBoxKind::Error, mbOk);
    ASSERT_EQ(FShown.size(), 3u);
    const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
    for (const std::size_t box : {1u, 2u}) {
        EXPECT_LE(FShown[box].Size.width(), screenWidth * 100 / 162 + 150) << box;
        EXPECT_GT(FShown[box].Size.height(), 3 * FShown[0].Size.height() / 2) << box;
    }
    EXPECT_EQ(FShown[2].Text, path) << "the label keeps the text as it was given";
}

TEST_F(MessageBoxTest, CtrlCCopiesTheBoxAsText)
{
    FCopyFirst = true;
    ErrorBox(QStringLiteral("Disk full"));
    ASSERT_EQ(FShown.size(), 1u);
    const QString rule = QString(27, QLatin1Char('-'));
    const QString expected = rule + QStringLiteral("\r\nError\r\n") + rule + QStringLiteral("\r\nDisk full\r\n") + rule
                             + QStringLiteral("\r\nOK   \r\n") + rule + QStringLiteral("\r\n");
    EXPECT_EQ(FShown[0].Copied, expected);
    // One beep for the box, one for the copy.
    EXPECT_EQ(FBeeps.Count, 2);
}

struct TFileErrorCase
{
    std::string Name;
    std::function<void()> Raise;
    bool Handled;
    QString Text;
};

class FileErrors : public MessageBoxTest, public ::testing::WithParamInterface<TFileErrorCase>
{
};

TEST_P(FileErrors, AreShownWithTheirEntryAndThePath)
{
    const TFileErrorCase& c = GetParam();
    bool handled = false;
    try {
        c.Raise();
    } catch (...) {
        handled = ReportFileError(QStringLiteral("/tmp/notes.eml"));
    }
    EXPECT_EQ(handled, c.Handled);
    if (c.Handled) {
        ASSERT_EQ(FShown.size(), 1u);
        EXPECT_EQ(FShown[0].Text, c.Text + QStringLiteral("\r\n/tmp/notes.eml"));
        EXPECT_EQ(FShown[0].Caption, QStringLiteral("Error"));
    } else {
        EXPECT_TRUE(FShown.empty());
    }
}

template<class E>
std::function<void()> Raise()
{
    return [] { throw E(QStringLiteral("failed")); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileErrors,
    ::testing::Values(
        TFileErrorCase{"Open", Raise<EFOpenError>(), true, QStringLiteral("The file cannot be opened:")},
        TFileErrorCase{"Create", Raise<EFCreateError>(), true, QStringLiteral("The file cannot be created:")},
        TFileErrorCase{"Read", Raise<EReadError>(), true, QStringLiteral("The file cannot be read:")},
        TFileErrorCase{"Write", Raise<EWriteError>(), true, QStringLiteral("The file cannot be written:")},
        TFileErrorCase{"IniFile", Raise<EIniFileError>(), true,
                       QStringLiteral("The settings file cannot be read or written:")},
        TFileErrorCase{"OtherStream", Raise<EFileStreamError>(), true,
                       QStringLiteral("The data could not be read or written:")},
        TFileErrorCase{"NotAFileError", [] { throw std::runtime_error("access violation"); }, false, {}}),
    TCaseName());

TEST_F(MessageBoxTest, WithoutAnExceptionInFlightNothingIsReported)
{
    EXPECT_FALSE(ReportFileError(QStringLiteral("/tmp/x")));
    EXPECT_TRUE(FShown.empty());
}

TEST_F(MessageBoxTest, AMissingNumberedTextRaisesBeforeAnyBoxOpens)
{
    EXPECT_THROW(ErrorOf(999, FLanguage.Table.ErrorSection()), EStringListError);
    EXPECT_TRUE(FShown.empty());
    ErrorFormatted(21, {QStringLiteral("Old"), QStringLiteral("New")});
    ASSERT_EQ(FShown.size(), 1u);
    EXPECT_EQ(FShown[0].Text, QStringLiteral("The folder \"Old\" could not be renamed to \"New\"."));
}

TEST_F(MessageBoxTest, BackgroundErrorsAreShownInOrderAfterOneMessage)
{
    std::vector<std::pair<QString, QString>> boxes;
    int messages = 0;
    std::vector<int> shownInMessage;
    const auto old = SetSystemErrorBoxHandler([&](const QString& caption, const QString& text) {
        boxes.emplace_back(caption, text);
        shownInMessage.push_back(messages);
    });
    const auto oldHandler = TThreadManager::Instance().SetErrorHandler([&messages] {
        ++messages;
        ShowBackgroundErrors();
    });
    std::thread worker([] {
        for (const char* text : {"first", "second", "third"})
            TThreadManager::Instance().ReportError(QString::fromLatin1(text));
        // A worker's error box is not shown there: its text joins the queue.
        ErrorBox(QStringLiteral("fourth"));
    });
    worker.join();
    EXPECT_TRUE(WaitUntil([&boxes] { return boxes.size() == 4; }));
    Settle();
    SetSystemErrorBoxHandler(old);
    TThreadManager::Instance().SetErrorHandler(oldHandler);
    // Every text was shown by the first message; the later ones found the queue empty.
    EXPECT_EQ(shownInMessage, (std::vector<int>{1, 1, 1, 1}));
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0], std::make_pair(QStringLiteral("Vellumo"), QStringLiteral("first")));
    EXPECT_EQ(boxes[1].second, QStringLiteral("second"));
    EXPECT_EQ(boxes[2].second, QStringLiteral("third"));
    EXPECT_EQ(boxes[3].second, QStringLiteral("fourth"));
    EXPECT_TRUE(FShown.empty());
}

} // namespace
