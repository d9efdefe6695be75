#include "base/FastMemoryStream.h"
#include "base/PrivateMessages.h"
#include "content/MimeMessage.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "messages/MesgTransfer.h"
#include "tests/messages/MesgTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>

#include <thread>

namespace {

// Records what the collection tells its list control.
class TRecordingControl : public IVirtualListControl
{
public:
    void SendItemCount(int count) override { Counts.push_back(count); }
    void SendRowUpdate(int) override {}
    void SendClear() override {}
    void BeginUpdateFromAnyThread() override {}
    void EndUpdateFromAnyThread() override {}
    void ListChanged() override {}
    void PostToControl(int message) override { ControlMessages.push_back(message); }
    void PostToWindow(int message) override { WindowMessages.push_back(message); }
    void ItemRemoved(const TVirtItem*) override {}
    [[nodiscard]] bool ShowsCheckBoxes() const override { return false; }

    std::vector<int> Counts;
    std::vector<int> ControlMessages;
    std::vector<int> WindowMessages;
};

class TFakeTransfer : public IMesgTransfer
{
public:
    [[nodiscard]] bool FromThisRun() const override { return Internal; }
    [[nodiscard]] bool HasVirtualFiles() const override { return Virtual; }
    [[nodiscard]] QStringList DroppedFiles() const override { return Files; }
    void SetDropEffect(TDropEffect effect) override { Effect = effect; }
    [[nodiscard]] bool PasteCancelled() const override { return CancelAfter >= 0 && Progress.size() >= std::size_t(CancelAfter); }
    void SetPasteProgress(int position, int) override { Progress.push_back(position); }
    void CopyToClipboard() override { Calls += "copy "; }
    void CutToClipboard() override { Calls += "cut "; }
    void StartDrag() override { Calls += "drag "; }

    bool Internal = false;
    bool Virtual = false;
    QStringList Files;
    TDropEffect Effect = TDropEffect::Copy;
    int CancelAfter = -1;
    std::vector<int> Progress;
    std::string Calls;
};

// A collection that imports streams as items and records the paste roads.
class TTestItems : public TMesgItems
{
public:
    TMesgItem* ImportStream(TStream& stream) override
    {
        auto source = std::make_shared<TFastMemoryStream>();
        source->LoadFromStream(stream);
        auto item = std::make_unique<TMesgItem>(this);
        item->SetSource(source);
        Imported.push_back(source->ToByteArray());
        return static_cast<TMesgItem*>(Insert(Count(), std::move(item)));
    }
    void PasteMessages(IMesgTransfer&) override { Roads += "messages "; }
    void PasteVirtualFiles(IMesgTransfer&) override { Roads += "virtual "; }
    void PrepareOutgoing() override { Roads += "prepare "; }

    std::vector<QByteArray> Imported;
    std::string Roads;
};

// A collection whose order cannot be decided: every sort of it fails.
class TFailingSortItems : public TMesgItems
{
protected:
    [[nodiscard]] int CompareIndexes(int, int) const override { throw ESyncError(QStringLiteral("no order")); }
};

class MesgItems : public TMesgTest
{
protected:
    TMesgItem* Add(unsigned char state, const QByteArray& messageId = {})
    {
        auto item = std::make_unique<TMesgItem>(&FItems);
        item->SetState(state);
        if (!messageId.isEmpty()) {
            TMimeMessage message;
            FItems.Parse("Message-ID: " + messageId + "\r\n\r\n", message);
            item->DeriveFields(message, DecodeListHeader(message));
        }
        return static_cast<TMesgItem*>(FItems.Insert(FItems.Count(), std::move(item)));
    }

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = FFolder + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    TTestItems FItems;
    QString FFolder = TTestEnvironment::NewFolder();
};

TEST_F(MesgItems, CountersFollowInsertionsRecountAndClear)
{
    Add(stUnread | stFlagged);
    TMesgItem* second = Add(stUnread | stAttachment);
    EXPECT_EQ(FItems.CountOf(stUnread), 2);
    EXPECT_EQ(FItems.CountOf(stFlagged), 1);
    // A state change elsewhere shows at the next recount, when a batch ends.
    second->SetState(stReplied | stUnsent);
    EXPECT_EQ(FItems.CountOf(stUnread), 2);
    FItems.BeginBatch();
    FItems.EndBatch();
    EXPECT_EQ(FItems.CountOf(stUnread), 1);
    EXPECT_EQ(FItems.CountOf(stAttachment), 0);
    EXPECT_EQ(FItems.CountOf(stReplied), 1);
    EXPECT_EQ(FItems.CountOf(stUnsent), 1);
    FItems.Clear();
    for (TMesgState bit : {stUnread, stAttachment, stReplied, stFlagged, stUnsent})
        EXPECT_EQ(FItems.CountOf(bit), 0);
}

TEST_F(MesgItems, AFailingResortEndsItsBatch)
{
    TFailingSortItems items;
    for (int i = 0; i < 3; ++i)
        items.Insert(items.Count(), std::make_unique<TMesgItem>(&items));
    EXPECT_THROW(items.Resort(), ESyncError);
    EXPECT_EQ(items.BatchDepth(), 0) << "the write lock of the batch is given back";
}

TEST_F(MesgItems, RowCountsGoOutOncePer129Insertions)
{
    TRecordingControl control;
    FItems.SetControl(&control);
    for (int i = 0; i < 128; ++i)
        Add(0);
    EXPECT_TRUE(control.Counts.empty());
    Add(0);
    EXPECT_EQ(control.Counts, std::vector<int>{129});
    EXPECT_EQ(control.ControlMessages, std::vector<int>{pmListFitColumns});
    EXPECT_EQ(control.WindowMessages, std::vector<int>{pmRefreshStatus});
    EXPECT_EQ(pmRefreshStatus, 1177);
    // Later batches of the same load fit no columns.
    for (int i = 0; i < 129; ++i)
        Add(0);
    EXPECT_EQ(control.Counts, (std::vector<int>{129, 258}));
    EXPECT_EQ(control.ControlMessages.size(), 1u);
    EXPECT_EQ(control.WindowMessages.size(), 2u);
    FItems.SetControl(nullptr);
}

TEST_F(MesgItems, IndexOfNameMatchesTheMessageIdExactly)
{
    Add(0, "<One@X>");
    Add(0, "<two@x>");
    EXPECT_EQ(FItems.IndexOfName(QStringLiteral("<two@x>")), 1);
    EXPECT_EQ(FItems.IndexOfName(QStringLiteral("<one@x>")), 0);
    EXPECT_EQ(FItems.IndexOfName(QStringLiteral("<One@X>")), -1);
}

TEST_F(MesgItems, EachThreadHasItsParser)
{
    const TMimeParser* main = &FItems.Parser();
    const TMimeParser* other = nullptr;
    std::thread([&] { other = &FItems.Parser(); }).join();
    EXPECT_NE(main, other);
    EXPECT_EQ(main, &FItems.Parser());
}

TEST_F(MesgItems, PasteImportsOnlyEmlFiles)
{
    TFakeTransfer transfer;
    transfer.Files = {WriteFile(QStringLiteral("a.EML"), "Subject: a\r\n\r\n"), WriteFile(QStringLiteral("b.txt"), "text"),
                      FFolder + QStringLiteral("/gone.eml"), WriteFile(QStringLiteral("c.eml"), "Subject: c\r\n\r\n")};
    FItems.AcceptIncoming(transfer);
    EXPECT_EQ(FItems.Imported, (std::vector<QByteArray>{"Subject: a\r\n\r\n", "Subject: c\r\n\r\n"}));
    // The vanished file is skipped, but the progress still advances for it.
    EXPECT_EQ(transfer.Progress, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(transfer.Effect, IMesgTransfer::TDropEffect::Copy);
}

TEST_F(MesgItems, PasteWithoutEmlFilesIsRefused)
{
    TFakeTransfer transfer;
    transfer.Files = {WriteFile(QStringLiteral("b.txt"), "text")};
    FItems.AcceptIncoming(transfer);
    EXPECT_EQ(transfer.Effect, IMesgTransfer::TDropEffect::Refused);
    EXPECT_TRUE(FItems.Imported.empty());
}

TEST_F(MesgItems, CancelStopsThePasteAfterTheFileInProgress)
{
    TFakeTransfer transfer;
    for (int i = 0; i < 5; ++i)
        transfer.Files.append(WriteFile(QStringLiteral("m%1.eml").arg(i), "Subject: x\r\n\r\n"));
    transfer.CancelAfter = 2;
    FItems.PasteFiles(transfer);
    EXPECT_EQ(FItems.Imported.size(), 3u);
}

TEST_F(MesgItems, IncomingDataTakesItsRoad)
{
    TFakeTransfer transfer;
    transfer.Internal = true;
    transfer.Virtual = true;
    FItems.AcceptIncoming(transfer);
    transfer.Internal = false;
    FItems.AcceptIncoming(transfer);
    EXPECT_EQ(FItems.Roads, "messages virtual ");
}

TEST_F(MesgItems, OutgoingCommandsPrepareFirst)
{
    TFakeTransfer transfer;
    FItems.SetTransfer(&transfer);
    FItems.CopyCommand();
    FItems.CutCommand();
    FItems.DragCommand();
    EXPECT_EQ(FItems.Roads, "prepare prepare prepare ");
    EXPECT_EQ(transfer.Calls, "copy cut drag ");
}

TEST_F(MesgItems, StopLoadingBreaksOnlyALoad)
{
    FItems.StopLoading();
    EXPECT_FALSE(FItems.CheckBreak(0));
    FItems.SetLoading(true);
    FItems.StopLoading();
    EXPECT_TRUE(FItems.CheckBreak(0));
    EXPECT_TRUE(FItems.CheckBreak(1000));
}

TEST_F(MesgItems, CheckBreakLetsPendingEventsRun)
{
    bool ran = false;
    QMetaObject::invokeMethod(&FItems, [&ran] { ran = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(FItems.CheckBreak(0));
    EXPECT_TRUE(ran);
    // Within the interval nothing runs.
    ran = false;
    QMetaObject::invokeMethod(&FItems, [&ran] { ran = true; }, Qt::QueuedConnection);
    EXPECT_FALSE(FItems.CheckBreak(60000));
    EXPECT_FALSE(ran);
}

TEST_F(MesgItems, KindCaptionAndName)
{
    EXPECT_EQ(FItems.Kind(), 6);
    EXPECT_EQ(FItems.objectName(), QStringLiteral("MesgItems"));
    FItems.SetCaption(QStringLiteral("Inbox"));
    EXPECT_EQ(FItems.GetCaption(), QStringLiteral("Inbox"));
}

} // namespace
