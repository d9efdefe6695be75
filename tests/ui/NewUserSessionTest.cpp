// A new user's first day, driven through the windows as they would do it:
// menus, keys, dialogs and the mouse, on a store that starts empty.

#include "messages/MesgFields.h"
#include "messages/MesgSort.h"
#include "store/OEFavorites.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/DialogTestSupport.h"
#include "tests/ui/MesgListTestSupport.h"
#include "ui/clipboard/OEClipboard.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/dialogs/FolderChooser.h"
#include "ui/forms/TriForm.h"
#include "ui/forms/WindowLayout.h"
#include "ui/mesg/MesgBrowser.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesg/SaveDialog.h"
#include "ui/tree/FolderNode.h"
#include "ui/tree/OETreeView.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocument>

#include <set>

namespace {

constexpr int kMessages = 2000;
// Long enough for a sanitizer build on a busy machine.
constexpr int kPatienceMs = 60000;

// The Message-IDs of a mailbox file or a message, in file order.
std::vector<QByteArray> MessageIds(const QByteArray& bytes)
{
    static const QRegularExpression id(QStringLiteral("^Message-ID: (<[^>]+>)"),
                                       QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    std::vector<QByteArray> ids;
    for (auto it = id.globalMatch(QString::fromLatin1(bytes)); it.hasNext();)
        ids.push_back(it.next().captured(1).toLatin1());
    return ids;
}

class NewUserSessionTest : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FWindow.reset();
        RegisterFormClass(QStringLiteral("TTriForm"), [] { return new TTriForm; });
        FSettings = std::make_unique<TOptionsSandbox>();
        FSettings->Options.SetFavorites(&FFavorites);
        FFavorites.OnChange = [](TOEFavorites*) { TTriForm::RebuildFavoriteMenus(); };
        FClipboard = std::make_unique<TOEClipboard>();
        FClipboard->Install();
        FFolder = TTestEnvironment::NewFolder();
    }

    void TearDown() override
    {
        qDeleteAll(TTaskForm::Forms());
        QGuiApplication::clipboard()->clear();
        FSettings->Options.SetFavorites(nullptr);
        FClipboard.reset();
        FSettings.reset();
        MesgListTest::TearDown();
    }

    // A mailbox of plain messages, the n-th dated n minutes after the
    // first and named so that a sort by subject reverses that order; the
    // HTML message with its inline image comes last.
    QByteArray WriteMailbox(const QString& path)
    {
        QByteArray box;
        const QDateTime first(QDate(2026, 1, 5), QTime(8, 0), Qt::UTC);
        for (int n = 0; n < kMessages - 1; ++n) {
            const QByteArray date = first.addSecs(60LL * n).toString(Qt::RFC2822Date).toLatin1();
            const QByteArray subject = "Note " + QByteArray::number(kMessages - n).rightJustified(5, '0');
            box += "From ann@example.org " + date + "\n";
            box += TTestMessage(subject).Date(date).MessageId("<note" + QByteArray::number(n) + "@example.org>")
                       .Source().replace("\r\n", "\n");
            box += "\n";
        }
        box += "From carol@example.org Wed Mar  4 12:30:00 2026\n" + ReadFixture(QStringLiteral("view/alternative-cid.eml")) + "\n";
        WriteTestFile(path, box);
        return box;
    }

    static bool Trigger(TTriForm& form, const char* action)
    {
        return TriggerIfEnabled(form.Action(action));
    }

    static bool Loaded(TTriForm& form, TStoreId folder, int count)
    {
        return WaitUntil([&] {
            return form.Messages().FolderId() == folder && !form.Messages().LoadRunning()
                   && form.List().ItemCount() == count;
        }, kPatienceMs);
    }

    static int RowOfSubject(TTriForm& form, const QString& subject)
    {
        const QStringList subjects = ColumnTexts(form.List(), form.List().ColumnOfField(mcSubject));
        return static_cast<int>(subjects.indexOf(subject));
    }

    TOEFavorites FFavorites;
    std::unique_ptr<TOptionsSandbox> FSettings;
    std::unique_ptr<TOEClipboard> FClipboard;
    QString FFolder;
};

TEST_F(NewUserSessionTest, AFirstDayFromImportToTheNextStart)
{
    TDialogAnswers answers;
    const QString mailbox = FFolder + QStringLiteral("/old-mail.mbox");
    const QByteArray source = WriteMailbox(mailbox);
    const QString exported = FFolder + QStringLiteral("/inbox-export.mbox");
    const TFileDialogHandler oldFiles = SetFileDialogHandler([&](const TFileDialogRequest& request) {
        return request.Save ? exported : mailbox;
    });

    // The first start: one window with every pane, on the empty Inbox.
    auto* form = new TTriForm;
    form->SetShowTree(true);
    form->SetShowEditor(true);
    form->SetShowTextToolbar(true);
    form->SetShowStatusBar(true);
    form->Messages().GoToInbox();
    form->show();
    ASSERT_TRUE(Loaded(*form, kInbox, 0));

    // File → Import from mailbox file: the list and the tree's unread count
    // follow. The first row, shown in the pane meanwhile, may have been
    // marked read already.
    const auto unread = [this] {
        TFolderProps props;
        EXPECT_EQ(FStore->GetFolderInfo(kInbox, props), srOk);
        return props.UnreadCount;
    };
    ASSERT_TRUE(Trigger(*form, "mImportFromMbox"));
    ASSERT_TRUE(Loaded(*form, kInbox, kMessages));
    ASSERT_TRUE(WaitUntil([&] {
        return form->Tree()->NodeOf(kInbox)->text(0).contains(QString::number(unread()));
    }, kPatienceMs));

    // View → Sort: by the date sent.
    answers.Then([](TDialog& dialog) {
        dialog.findChild<QComboBox*>()->setCurrentIndex(msDateSent);
        Click(dialog.OkButton());
    });
    ASSERT_TRUE(Trigger(*form, "mMesgSort"));
    EXPECT_EQ(form->List().MessageSort(), msDateSent);
    ASSERT_TRUE(WaitUntil([&] { return RowOfSubject(*form, QStringLiteral("Note 02000")) == 0; }, kPatienceMs));

    // The HTML message shows with its inline image and is marked read
    // after the delay.
    const int html = RowOfSubject(*form, QStringLiteral("Logo proposal"));
    ASSERT_GE(html, 0);
    form->List().SetItemIndex(html);
    const int unreadBefore = unread();
    TQuickMesgEditor& pane = *form->Pane();
    // Its text page comes first; the user turns to the HTML page.
    ASSERT_TRUE(WaitUntil([&] { return pane.PageShown(pane.Browser()); }, kPatienceMs));
    pane.Pages()->setCurrentWidget(pane.Browser());
    ASSERT_TRUE(WaitUntil([&] { return pane.Browser()->BodyText().contains(QStringLiteral("logo")); }, kPatienceMs));
    EXPECT_FALSE(pane.Browser()
                     ->document()
                     ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("cid:Logo.1%40example.org")))
                     .isNull());
    ASSERT_TRUE(WaitUntil([&] { return unread() == unreadBefore - 1; }, kPatienceMs));
    ASSERT_TRUE(WaitUntil([&] {
        return form->statusBar()->currentMessage().endsWith(QStringLiteral("%1 unread").arg(unreadBefore - 1));
    }, kPatienceMs));

    // Saved as a message file and as text.
    const QString eml = FFolder + QStringLiteral("/logo.eml");
    const QString text = FFolder + QStringLiteral("/logo.txt");
    QString saveTo = eml;
    const TSaveDialogHandler oldSave = SetSaveDialogHandler([&](const TSaveRequest&) { return saveTo; });
    ASSERT_TRUE(Trigger(*form, "ASaveAsMesg"));
    saveTo = text;
    ASSERT_TRUE(Trigger(*form, "ASaveAsMesg"));
    EXPECT_EQ(MessageIds(ReadTestFile(eml)), std::vector<QByteArray>{"<cid.1@example.org>"});
    EXPECT_TRUE(ReadTestFile(text).contains("The new logo is below."));

    // A new folder below the Inbox; three messages moved there.
    answers.Then([](TDialog& dialog) {
        dialog.findChild<QComboBox*>()->setEditText(QStringLiteral("Keep"));
        dialog.Confirm();
    });
    ASSERT_TRUE(Trigger(*form, "mCreateFolder"));
    TStoreId keep = kNoStoreId;
    FStore->ForEachChild(kInbox, [&](const TFolderProps& props) {
        keep = props.Id;
        return false;
    });
    ASSERT_NE(keep, kNoStoreId);
    form->List().setFocus();
    form->List().SetItemIndex(0);
    QTest::keyClick(&form->List(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&form->List(), Qt::Key_Down, Qt::ShiftModifier);
    std::set<QByteArray> moved;
    for (int row = 0; row < 3; ++row)
        moved.insert("<note" + QByteArray::number(row) + "@example.org>");
    answers.Then([keep](TDialog& dialog) {
        static_cast<TFolderChooser&>(dialog).SelectFolder(keep);
        dialog.Confirm();
    });
    ASSERT_TRUE(Trigger(*form, "AMoveTo"));
    ASSERT_TRUE(WaitUntil([&] { return form->List().ItemCount() == kMessages - 3; }, kPatienceMs));

    // One copied to a favourite: Ctrl+C, Ctrl+1 to the favourite, Ctrl+V.
    FFavorites.AddFavorite(keep, 1);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::mouseClick(form->List().viewport(), Qt::LeftButton, {}, form->List().RowRect(0).center());
    Settle();
    QTest::keyClick(&form->List(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&form->List(), Qt::Key_1, Qt::ControlModifier);
    ASSERT_TRUE(Loaded(*form, keep, 3)) << form->Messages().FolderId() << " " << form->List().ItemCount();
    Settle();
    QTest::keyClick(&form->List(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(Loaded(*form, keep, 4));

    // The Inbox exported: what is left of the imported mailbox, byte for
    // byte where a message was not touched.
    form->GoToFolder(kInbox);
    ASSERT_TRUE(Loaded(*form, kInbox, kMessages - 3));
    ASSERT_TRUE(Trigger(*form, "MExportToMBox"));
    const QByteArray written = ReadTestFile(exported);
    std::set<QByteArray> expected;
    for (const QByteArray& id : MessageIds(source))
        if (!moved.count(id))
            expected.insert(id);
    const std::vector<QByteArray> ids = MessageIds(written);
    EXPECT_EQ(ids.size(), expected.size()) << "each message once";
    EXPECT_EQ(std::set<QByteArray>(ids.begin(), ids.end()), expected);
    const QByteArray logo = ReadFixture(QStringLiteral("view/alternative-cid.eml"));
    EXPECT_TRUE(written.contains(logo.left(logo.indexOf("\n--rel--"))));

    // A second window on the new folder; exit; the next start brings both back.
    TTriForm* second = form->NewBrowser(keep);
    ASSERT_TRUE(Loaded(*second, keep, 4));
    ASSERT_TRUE(Trigger(*form, "mSaveWindowsAndExit"));
    ASSERT_TRUE(WaitUntil([] { return TTaskForm::Forms().isEmpty(); }, kPatienceMs));
    ASSERT_EQ(RestoreWindowLayout(), 2);
    std::multiset<TStoreId> folders;
    for (TTaskForm* restored : TTaskForm::Forms()) {
        auto* browser = static_cast<TTriForm*>(restored);
        ASSERT_TRUE(browser->Messages().WaitUntilParsed(60000));
        folders.insert(browser->Messages().FolderId());
        EXPECT_TRUE(browser->ShowTree() && browser->ShowEditor());
    }
    EXPECT_EQ(folders, (std::multiset<TStoreId>{kInbox, keep}));
    EXPECT_TRUE(answers.Boxes.isEmpty()) << answers.Boxes.join(QLatin1Char('\n')).toStdString();

    SetSaveDialogHandler(oldSave);
    SetFileDialogHandler(oldFiles);
}

} // namespace
