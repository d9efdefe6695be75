#include "tests/ui/DialogTestSupport.h"
#include "tests/store/StoredMessages.h"
#include "tests/ui/MesgListTestSupport.h"

#include "content/attach/SafeWrites.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "ui/clipboard/ClipboardFormats.h"
#include "ui/clipboard/MailMimeData.h"
#include "ui/clipboard/OEClipboard.h"
#include "ui/clipboard/PasteDialog.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using namespace ClipboardFormats;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// `count` message files in the folder.
QStringList WriteMessages(const QTemporaryDir& dir, int count)
{
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        paths.append(dir.filePath(QStringLiteral("m%1.eml").arg(i)));
        WriteFile(paths.back(), TTestMessage("Message " + QByteArray::number(i)).Source());
    }
    return paths;
}

QMimeData* FilesData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

// The clipboard of the program with two message lists: FWindow shows the
// Inbox, FTarget a folder of its own.
class ClipboardTest : public MesgListTest
{
protected:
    void SetUp() override
    {
        MesgListTest::SetUp();
        FClipboard = std::make_unique<TOEClipboard>();
        FClipboard->Install();
        FWindow->Recreate();
        FTargetFolder = FStore->AddFolder(kRootFolderId, "Target");
        FTarget = std::make_unique<TListWindow>();
        FTarget->Open(FTargetFolder);
    }
    void TearDown() override
    {
        QGuiApplication::clipboard()->clear();
        FTarget.reset();
        MesgListTest::TearDown();
        FClipboard.reset();
    }

    // The sources of a folder's messages, sorted.
    std::vector<QByteArray> Sources(TStoreId folder)
    {
        std::vector<QByteArray> sources;
        for (const TStoredMessage& message : StoredMessages(FStore->Namespace(), folder))
            sources.push_back(message.Source);
        std::sort(sources.begin(), sources.end());
        return sources;
    }

    // Saves and lists the messages in the Inbox and selects them all.
    std::vector<QByteArray> SelectInInbox(const std::vector<QByteArray>& subjects)
    {
        for (const QByteArray& subject : subjects)
            Save(kInbox, TTestMessage(subject));
        FWindow->Open(kInbox);
        FWindow->List().SelectAll();
        return Sources(kInbox);
    }

    // Drops the data on the target list as a file manager would.
    Qt::DropAction DropOnTarget(QMimeData& data, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* viewport = FTarget->List().viewport();
        const QPoint point = viewport->rect().center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        // Qt hands a drop only to the widget that accepted the drag's entry.
        QDragEnterEvent enter(point, offered, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(QPointF(point), offered, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(viewport, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    std::unique_ptr<TOEClipboard> FClipboard;
    TStoreId FTargetFolder = kNoStoreId;
    std::unique_ptr<TListWindow> FTarget;
};

// Copy (false) and cut (true).
class ClipboardCutTest : public ClipboardTest, public ::testing::WithParamInterface<bool>
{
};

INSTANTIATE_TEST_SUITE_P(CopyAndCut, ClipboardCutTest, ::testing::Bool());

TEST_P(ClipboardCutTest, PastingIntoAnotherListCopiesOrMovesInTheStore)
{
    const bool cut = GetParam();
    const std::vector<QByteArray> sources = SelectInInbox({"One", "Two", "Three"});
    cut ? FWindow->List().Cut() : FWindow->List().Copy();
    ASSERT_TRUE(FTarget->List().CanPaste());
    FTarget->List().Paste();
    EXPECT_EQ(Sources(FTargetFolder), sources);
    EXPECT_EQ(Sources(kInbox).size(), cut ? 0u : 3u);
    EXPECT_EQ(FClipboard->DropEffect(), cut ? Qt::MoveAction : Qt::CopyAction);
    // The target list shows what arrived.
    EXPECT_TRUE(WaitUntil([&] { return FTarget->List().ItemCount() == 3; }));
}

TEST_F(ClipboardTest, ACopyPastedTwiceArrivesTwiceAndMessagesDeletedMeanwhileStayBehind)
{
    SelectInInbox({"One", "Two", "Three"});
    FWindow->List().Copy();
    const TMessageIdList offered = FClipboard->OutgoingIds();
    ASSERT_EQ(offered.size(), 3);
    std::unique_ptr<TStoreFolder> inbox;
    ASSERT_EQ(FStore->Namespace().OpenFolder(kInbox, 0, inbox), srOk);
    ASSERT_EQ(inbox->DeleteMessages({offered[1]}, 0, nullptr), srOk);
    ASSERT_TRUE(WaitUntil([&] { return FClipboard->OutgoingCount() == 2; }));
    EXPECT_EQ(FClipboard->OutgoingIds(), (TMessageIdList{offered[0], offered[2]}));

    FTarget->List().Paste();
    FTarget->List().Paste();
    EXPECT_EQ(Sources(FTargetFolder).size(), 4u);
}

TEST_P(ClipboardCutTest, OtherProgramsGetRealEmlFilesHoldingTheStoredSources)
{
    const bool cut = GetParam();
    const std::vector<QByteArray> sources = SelectInInbox({"Hello", "HELLO", "Re: ../../x|y", ""});
    cut ? FWindow->List().Cut() : FWindow->List().Copy();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data && data->hasUrls());

    std::vector<QByteArray> written;
    QString folder;
    for (const QUrl& url : data->urls()) {
        ASSERT_TRUE(url.isLocalFile());
        const QFileInfo file(url.toLocalFile());
        EXPECT_TRUE(file.fileName().endsWith(QLatin1String(".eml"))) << file.fileName().toStdString();
        // Every file lies in the one folder of the offer, whatever its subject.
        folder = folder.isEmpty() ? file.absolutePath() : folder;
        EXPECT_EQ(file.absolutePath(), folder);
        written.push_back(ReadFile(file.absoluteFilePath()));
    }
    EXPECT_TRUE(folder.startsWith(QFileInfo(PrivateTempFolder()).absoluteFilePath())) << folder.toStdString();
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, sources);
    EXPECT_EQ(data->data(kKdeCut), QByteArray(cut ? "1" : "0"));
    EXPECT_TRUE(data->data(kGnomeCopied).startsWith(cut ? "cut\nfile://" : "copy\nfile://"));
    // Asking again gives the same files, not new ones.
    EXPECT_EQ(data->urls().size(), 4);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4);
}

TEST_F(ClipboardTest, ADragOntoAnotherListOfThisRunMovesTheMessagesInTheStore)
{
    const std::vector<QByteArray> sources = SelectInInbox({"One", "Two"});
    // What a drag out of the Inbox list prepares and offers.
    FClipboard->SetSourceControl(FWindow->List());
    FWindow->List().Messages()->PrepareOutgoing();
    TMailMimeData dragged(*FClipboard, false);
    // The drag offers copy and move and proposes the move (as QDrag::exec
    // does for a drag of this program; here Shift stands in for it).
    EXPECT_EQ(DropOnTarget(dragged, Qt::ShiftModifier), Qt::MoveAction);
    EXPECT_EQ(Sources(FTargetFolder), sources);
    EXPECT_TRUE(Sources(kInbox).empty());
}

TEST_F(ClipboardTest, DroppedEmlFilesAreImportedAndTheOthersLeftAlone)
{
    QTemporaryDir dir;
    const QByteArray good = TTestMessage("Good").Source();
    const QByteArray odd = TTestMessage("Odd name").Source();
    const QString goodPath = dir.filePath(QStringLiteral("good.EML"));
    // A name a shell or a terminal would trip over.
    const QString oddPath = dir.filePath(QStringLiteral("$(rm -rf ~)\n\u202Egnp.eml"));
    const QString textPath = dir.filePath(QStringLiteral("notes.txt"));
    WriteFile(goodPath, good);
    WriteFile(oddPath, odd);
    WriteFile(textPath, "not a message");
    // Neither a device that never ends nor a folder is read.
    QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.eml")));
    QDir(dir.path()).mkdir(QStringLiteral("folder.eml"));
    const QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    QStringList paths;
    for (const QString& name : all)
        paths.append(dir.filePath(name));

    std::unique_ptr<QMimeData> onlyText(FilesData({textPath}));
    EXPECT_EQ(DropOnTarget(*onlyText), Qt::IgnoreAction);
    EXPECT_TRUE(Sources(FTargetFolder).empty());

    std::unique_ptr<QMimeData> mixed(FilesData(paths));
    // Files of other programs are copied, never moved away from them, even
    // when the user asks for a move.
    EXPECT_EQ(DropOnTarget(*mixed, Qt::ShiftModifier), Qt::CopyAction);
    std::vector<QByteArray> expected{good, odd};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Sources(FTargetFolder), expected);
    for (const QString& path : {goodPath, oddPath, textPath})
        EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(ClipboardTest, VirtualFilesOfAnotherRunAreSavedByTheirEmlNames)
{
    const std::vector<QByteArray> sources = SelectInInbox({"One", "Two"});
    FWindow->List().Copy();
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    // Another run offers the same formats under its own marker.
    QList<TVirtualFileDescriptor> descriptors = DecodeDescriptors(offered->data(kFileDescriptors));
    ASSERT_EQ(descriptors.size(), 2);
    auto other = std::make_unique<QMimeData>();
    for (int i = 0; i < 2; ++i)
        other->setData(FileContents(i), offered->data(FileContents(i)));
    TVirtualFileDescriptor text = descriptors[0];
    text.FileName = QStringLiteral("readme.txt");
    other->setData(FileContents(2), "not a message");
    descriptors.append(text);
    other->setData(kFileDescriptors, EncodeDescriptors(descriptors));
    other->setData(QStringLiteral("QuorvanInternalDropSupports1"), QByteArray(4, '\1'));

    IFolderTreeClipboard& tree = *FolderTreeClipboard();
    ASSERT_TRUE(tree.AcceptsMessages(other.get()));
    EXPECT_EQ(tree.PasteMessages(nullptr, other.get(), FTargetFolder, Qt::MoveAction), Qt::CopyAction);
    EXPECT_EQ(Sources(FTargetFolder), sources);
    EXPECT_EQ(Sources(kInbox), sources);
}

TEST_F(ClipboardTest, CancelStopsThePasteAfterTheCurrentMessageAndKeepsWhatArrived)
{
    QTemporaryDir dir;
    const QStringList paths = WriteMessages(dir, 400);
    std::unique_ptr<QMimeData> data(FilesData(paths));
    int cancelledAt = -1;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        TPasteDialog* dialog = TPasteDialog::Current();
        if (dialog && cancelledAt < 0 && dialog->Position() > 0) {
            cancelledAt = dialog->Position();
            dialog->CancelButton()->click();
        }
    });
    watcher.start(0);
    FolderTreeClipboard()->PasteMessages(nullptr, data.get(), FTargetFolder, Qt::CopyAction);
    watcher.stop();
    ASSERT_GT(cancelledAt, 0);
    EXPECT_LT(cancelledAt, 400);
    EXPECT_EQ(Sources(FTargetFolder).size(), static_cast<size_t>(cancelledAt));
    EXPECT_EQ(TPasteDialog::Current(), nullptr);
}

TEST_F(ClipboardTest, NoSecondPasteRunsInsideTheFirstNorDisturbsIt)
{
    QTemporaryDir dir;
    const QStringList paths = WriteMessages(dir, 50);
    std::unique_ptr<QMimeData> data(FilesData(paths));
    std::unique_ptr<QMimeData> more(FilesData({paths[0]}));
    Qt::DropAction inner = Qt::CopyAction;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (TPasteDialog::Current() && inner != Qt::IgnoreAction) {
            inner = FolderTreeClipboard()->PasteMessages(nullptr, more.get(), kInbox, Qt::CopyAction);
            ASSERT_EQ(inner, Qt::IgnoreAction);
            EXPECT_EQ(DropOnTarget(*more), Qt::IgnoreAction);
        }
    });
    watcher.start(0);
    EXPECT_EQ(FolderTreeClipboard()->PasteMessages(nullptr, data.get(), FTargetFolder, Qt::CopyAction),
              Qt::CopyAction);
    watcher.stop();
    EXPECT_EQ(inner, Qt::IgnoreAction);
    EXPECT_TRUE(Sources(kInbox).empty());
    EXPECT_EQ(Sources(FTargetFolder).size(), 50u);
}

TEST_F(ClipboardTest, AFolderTravelsByItsIdAndACutPastesAsAMove)
{
    IFolderTreeClipboard& tree = *FolderTreeClipboard();
    for (const Qt::DropAction effect : {Qt::CopyAction, Qt::MoveAction}) {
        tree.OfferFolder(nullptr, FTargetFolder, effect);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        EXPECT_EQ(tree.OfferedFolder(data), FTargetFolder);
        EXPECT_EQ(tree.PasteEffect(data), effect);
        EXPECT_FALSE(tree.AcceptsMessages(data));
    }
}

} // namespace
