// A folder opened again reads the list fields the store keeps instead of
// parsing its messages, and shows exactly what a fresh parse shows; the
// items hold no sources and read them from the store when asked; new items
// join the list in batches.

#include "store/OEFolders.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"

#include "base/FastMemoryStream.h"
#include "content/MimeMessage.h"
#include "tests/messages/ListFieldsCorpus.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QTimer>

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr TStoreId kInbox = 1;

QByteArray Message(int number)
{
    return "From: Sender " + QByteArray::number(number % 13) + " <s" + QByteArray::number(number) + "@example.org>\r\n"
           "Subject: Message " + QByteArray::number(100 + number % 89) + "\r\nDate: Mon, 2 Mar 2026 10:"
           + QByteArray::number(10 + number % 50) + ":00 +0000\r\n\r\nBody\r\n";
}

// A collection that counts how its items join the list.
class TCountingItems : public TOeMesgItems
{
public:
    TSyncItem* Insert(int index, std::unique_ptr<TSyncItem> item) override
    {
        ++Inserts;
        return TOeMesgItems::Insert(index, std::move(item));
    }
    void InsertSorted(std::vector<std::unique_ptr<TSyncItem>> items) override
    {
        ++Batches;
        TOeMesgItems::InsertSorted(std::move(items));
    }
    std::atomic<int> Inserts{0};
    std::atomic<int> Batches{0};
};

class ListFieldsCache : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FPath = TTestEnvironment::NewStorePath();
        qputenv("VELLUMO_STORE", QFile::encodeName(FPath));
        FModel = std::make_unique<TOEFolders>();
    }
    void TearDown() override { ResetDerivationOptions(); }

    std::vector<TStoreId> Save(TStoreId folder, const std::vector<QByteArray>& sources)
    {
        std::unique_ptr<TStoreFolder> open;
        EXPECT_EQ(FModel->Namespace().OpenFolder(folder, 0, open), srOk);
        TMessageIdList ids;
        EXPECT_EQ(open->SaveMessages(sources, kMsgUnread, &ids), srOk);
        return {ids.begin(), ids.end()};
    }

    static void Open(TOeMesgItems& items, TStoreId folder)
    {
        items.SetFolderId(folder);
        ASSERT_TRUE(items.WaitUntilParsed(60000));
    }

    // Every item's list fields, in list order.
    static std::vector<std::pair<TStoreId, QByteArray>> Lines(const TOeMesgItems& items)
    {
        TReadGuard<const TSyncItems> guard(items);
        std::vector<std::pair<TStoreId, QByteArray>> lines;
        for (int i = 0; i < items.Count(); ++i) {
            const auto& item = static_cast<const TMesgItem&>(*items.Item(i));
            lines.emplace_back(static_cast<TStoreId>(item.Id()), ListFieldsLine(item));
        }
        return lines;
    }

    // The fields of a message parsed afresh, as the lists always derived
    // them, with the store's size, state and received date of the listed item.
    static QByteArray FreshLine(const QByteArray& source, const TMesgItem& listed)
    {
        TMesgItems items;
        TMesgItem item(&items);
        auto stream = std::make_shared<TFastMemoryStream>();
        stream->WriteBuffer(source.constData(), source.size());
        item.SetSource(stream);
        TMimeMessage message;
        item.DecodeInto(message, true);
        item.DeriveFields(message, DecodeListHeader(message));
        item.SetState(static_cast<unsigned char>(item.State() | (listed.State() & ~stAttachment)));
        item.SetDateReceived(listed.DateReceived());
        return ListFieldsLine(item);
    }

    // How many messages of the folder have fields kept under the key in force.
    int KeptFields(TStoreId folder)
    {
        std::unique_ptr<TStoreFolder> open;
        EXPECT_EQ(FModel->Namespace().OpenFolder(folder, 0, open), srOk);
        std::vector<TMessageListing> rows;
        EXPECT_EQ(open->ReadListing(0, 100000, ListFieldsKey(), rows), srOk);
        return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return !r.Fields.isEmpty(); }));
    }

    void RunSql(const char* sql) const
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(FPath).constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    QString FPath;
    std::unique_ptr<TOEFolders> FModel;
};

// The whole corpus under every option combination: the first open parses
// (fields kept under an earlier combination's key do not hold), keeps the
// fields, and matches a fresh parse; the next open reads the kept fields
// and shows the same list, field for field and row for row.
TEST_F(ListFieldsCache, KeptFieldsShowExactlyWhatAFreshParseShowsUnderEveryOption)
{
    const std::vector<QByteArray> corpus = ListFieldsCorpus();
    const std::vector<TStoreId> ids = Save(kInbox, corpus);
    std::map<TStoreId, QByteArray> sources;
    for (size_t i = 0; i < ids.size(); ++i)
        sources[ids[i]] = corpus[i];
    for (const TDerivationOptions& options : DerivationOptionCombinations()) {
        SCOPED_TRACE(options.Name);
        ApplyDerivationOptions(options);
        ASSERT_EQ(KeptFields(kInbox), 0);
        std::vector<std::pair<TStoreId, QByteArray>> parsed;
        {
            TOeMesgItems items;
            Open(items, kInbox);
            parsed = Lines(items);
            ASSERT_EQ(parsed.size(), corpus.size());
            TReadGuard<const TSyncItems> guard(items);
            for (int i = 0; i < items.Count(); ++i) {
                const auto& item = static_cast<const TMesgItem&>(*items.Item(i));
                ASSERT_EQ(parsed[static_cast<size_t>(i)].second, FreshLine(sources[parsed[static_cast<size_t>(i)].first], item));
            }
        }
        ASSERT_EQ(KeptFields(kInbox), static_cast<int>(corpus.size()));
        TOeMesgItems again;
        Open(again, kInbox);
        ASSERT_EQ(Lines(again), parsed);
    }
}

// Options that change while a folder loads, and another folder opened
// under the new options: what the first load derived under the old options
// is never kept under the new ones.
TEST_F(ListFieldsCache, FieldsAreKeptOnlyUnderTheOptionsTheyWereDerivedUnder)
{
    const QByteArray koi8 = ReadFixture(QStringLiteral("charset/subject-koi8r-raw.hdr")).trimmed();
    std::vector<QByteArray> sources;
    for (int i = 0; i < 3000; ++i)
        sources.push_back("Subject: " + koi8 + ' ' + QByteArray::number(i) + "\r\n\r\nbody\r\n");
    Save(kInbox, sources);
    const TDerivationOptions plain{"plain", 1252, QLocale::English, false};
    TDerivationOptions redetect = plain;
    redetect.AutoRusHeader = true;
    ApplyDerivationOptions(plain);
    {
        TOeMesgItems items;
        QTimer flip;
        QObject::connect(&flip, &QTimer::timeout, [&] {
            if (items.Count() > 0 && items.FolderId() == kInbox) {
                ApplyDerivationOptions(redetect);
                items.SetFolderId(5);
            }
        });
        flip.start(0);
        items.SetFolderId(kInbox);
        ASSERT_TRUE(WaitUntil([&] { return items.FolderId() == 5; }, 60000));
        ASSERT_TRUE(items.WaitUntilParsed(60000));
    }
    std::vector<std::pair<TStoreId, QByteArray>> kept;
    {
        TOeMesgItems items;
        Open(items, kInbox);
        kept = Lines(items);
    }
    RunSql("DELETE FROM listfields");
    TOeMesgItems fresh;
    Open(fresh, kInbox);
    EXPECT_EQ(kept, Lines(fresh));
}

// A record the store holds but that cannot be read is no reason to show
// anything else: the message is parsed from its source.
TEST_F(ListFieldsCache, ADamagedRecordIsReplacedByAFreshParse)
{
    const std::vector<TStoreId> ids = Save(kInbox, {Message(1), Message(2)});
    std::vector<std::pair<TStoreId, QByteArray>> parsed;
    {
        TOeMesgItems items;
        Open(items, kInbox);
        parsed = Lines(items);
    }
    RunSql("UPDATE listfields SET record = x'01ff'");
    TOeMesgItems again;
    Open(again, kInbox);
    EXPECT_EQ(Lines(again), parsed);
}

TEST_F(ListFieldsCache, ItemsHoldNoSourcesAndReadThemWhenAsked)
{
    const std::vector<QByteArray> sources{Message(1), Message(2), Message(3)};
    const std::vector<TStoreId> ids = Save(kInbox, sources);
    TOeMesgItems items;
    Open(items, kInbox);
    ASSERT_EQ(items.Count(), 3);
    for (int i = 0; i < items.Count(); ++i)
        EXPECT_FALSE(static_cast<TMesgItem*>(items.Item(i))->HasSource()) << i;

    TOeMesgItem* item = items.ItemByMessageId(ids[1]);
    // A reading pane: the message from the store, the item still without it.
    TMimeMessage shown;
    item->DecodeInto(shown, TMimeParser::TMode::Deferred);
    EXPECT_EQ(shown.Headers().Value("Subject"), QByteArray("Message 102"));
    EXPECT_FALSE(item->HasSource());
    // A drag or a copy holds the source as long as it needs it, also when
    // the message leaves the store meanwhile.
    const std::shared_ptr<TFastMemoryStream> held = item->Source();
    EXPECT_FALSE(item->HasSource());
    ASSERT_EQ(items.Folders().Folder()->DeleteMessages({ids[1]}, 0, nullptr), srOk);
    EXPECT_EQ(held->ToByteArray(), sources[1]);
    // Saving reads the source from the store too.
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/saved.eml");
    items.ItemByMessageId(ids[2])->SaveToFile(path);
    EXPECT_EQ(ReadTestFile(path), sources[2]);
}

// An edited message is held until its fields are derived anew, then let go.
TEST_F(ListFieldsCache, AnEditedMessageIsLetGoOnceParsed)
{
    const std::vector<TStoreId> ids = Save(kInbox, {Message(1)});
    TOeMesgItems items;
    Open(items, kInbox);
    TOeMesgItem* item = items.ItemByMessageId(ids[0]);
    TFastMemoryStream edited;
    const QByteArray source = "Subject: Edited\r\n\r\nnew body\r\n";
    edited.WriteBuffer(source.constData(), source.size());
    items.SaveEdited(*item, edited);
    ASSERT_TRUE(WaitUntil([&] {
        TReadGuard<const TSyncItems> guard(items);
        return item->Parsed() && !item->HasSource();
    }));
    EXPECT_EQ(item->Subject(), QStringLiteral("Edited"));
    EXPECT_EQ(item->Source()->ToByteArray(), source);
}

// A folder's new items join the list in batches, never one by one, so that
// a large folder lists in O(n log n); the list is in order all the while.
TEST_F(ListFieldsCache, ALoadListsItsItemsInBatches)
{
    std::vector<QByteArray> sources;
    for (int i = 0; i < 3000; ++i)
        sources.push_back(Message(i));
    Save(kInbox, sources);
    for (const bool kept : {false, true}) {
        SCOPED_TRACE(kept ? "fields kept" : "parsed");
        TCountingItems items;
        bool ordered = true;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            TReadGuard<const TSyncItems> guard(items);
            const TSortOrder order = items.SortOrder();
            for (int i = 1; i < items.Count(); ++i)
                ordered = ordered && CompareMessages(*static_cast<TMesgItem*>(items.Item(i - 1)),
                                                     *static_cast<TMesgItem*>(items.Item(i)), order) <= 0;
        });
        watch.start(1);
        Open(items, kInbox);
        EXPECT_EQ(items.Count(), 3000);
        EXPECT_TRUE(ordered);
        EXPECT_EQ(items.Inserts.load(), 0);
        EXPECT_GE(items.Batches.load(), 1);
        EXPECT_LE(items.Batches.load(), 50);
    }
}

// Messages that arrive while a folder is read in steps are listed once.
TEST_F(ListFieldsCache, MessagesSavedDuringALoadAreListedOnce)
{
    std::vector<QByteArray> sources;
    for (int i = 0; i < 4000; ++i)
        sources.push_back(Message(i));
    std::vector<TStoreId> ids = Save(kInbox, sources);
    TOeMesgItems items;
    TOEFolders other;
    std::unique_ptr<TStoreFolder> inbox;
    ASSERT_EQ(other.Namespace().OpenFolder(kInbox, 0, inbox), srOk);
    QTimer saver;
    QObject::connect(&saver, &QTimer::timeout, [&] {
        if (items.Loading() && ids.size() < 4040) {
            TStoreId id = kNoStoreId;
            ASSERT_EQ(inbox->SaveMessage(Message(static_cast<int>(ids.size())), 0, &id), srOk);
            ids.push_back(id);
        }
    });
    saver.start(0);
    Open(items, kInbox);
    saver.stop();
    WaitUntil([] { return false; }, 200);
    ASSERT_TRUE(items.WaitUntilParsed(60000));
    std::vector<TStoreId> listed;
    for (const auto& [id, line] : Lines(items))
        listed.push_back(id);
    std::sort(listed.begin(), listed.end());
    EXPECT_GT(ids.size(), 4000u) << "no message arrived during the load";
    EXPECT_EQ(listed, ids);
}

} // namespace
