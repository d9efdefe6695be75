#include "tests/ui/MesgListTestSupport.h"

#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"

#include <QBoxLayout>
#include <QFile>

QByteArray TTestMessage::Source() const
{
    const QByteArray id =
        FMessageId.isEmpty() ? "<" + QByteArray(FSubject).toLower().replace(' ', '.') + "@example.org>" : FMessageId;
    QByteArray head = "From: " + FFrom + "\r\nTo: " + FTo + "\r\nSubject: " + FSubject + "\r\nDate: " + FDate +
                      "\r\nMessage-ID: " + id + "\r\nX-Priority: " + QByteArray::number(FXPriority) +
                      "\r\nMIME-Version: 1.0\r\n";
    if (!FAttachment)
        return head + "Content-Type: text/plain; charset=us-ascii\r\n\r\nBody of " + FSubject + "\r\n";
    return head + "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n"
                  "Content-Type: text/plain\r\n\r\nSee the file.\r\n--b\r\n"
                  "Content-Type: application/octet-stream; name=\"a.bin\"\r\n"
                  "Content-Disposition: attachment; filename=\"a.bin\"\r\n"
                  "Content-Transfer-Encoding: base64\r\n\r\nAAECAw==\r\n--b--\r\n";
}

QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

TListWindow::TListWindow()
{
    setLayout(new QVBoxLayout);
    layout()->setContentsMargins(0, 0, 0, 0);
    resize(900, 400);
    Recreate();
    show();
}

TOeMesgItems& TListWindow::Messages()
{
    return *static_cast<TOeMesgItems*>(FList->Messages());
}

void TListWindow::Recreate()
{
    delete FList;
    FList = new TMesgListView(this);
    FList->SetMessages(std::make_unique<TOeMesgItems>());
    layout()->addWidget(FList);
}

void TListWindow::Open(TStoreId folder)
{
    Messages().SetFolderId(folder);
    ASSERT_TRUE(Messages().WaitUntilParsed(120000));
    ASSERT_TRUE(WaitUntil([this] { return !Messages().LoadRunning() && FList->ItemCount() == Messages().Count(); }));
    // The end of the load has reached the list.
    ASSERT_TRUE(WaitUntil([this] { return FList->UpdateCount() == 0; }));
    Settle(20);
}

void MesgListTest::SetUp()
{
    qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
    FStore = std::make_unique<TOEFolders>();
    FWindow = std::make_unique<TListWindow>();
}

void MesgListTest::TearDown()
{
    FWindow.reset();
    FStore.reset();
}

TStoreId MesgListTest::Save(TStoreId folder, const TTestMessage& message, quint32 state)
{
    std::unique_ptr<TStoreFolder> open;
    EXPECT_EQ(FStore->Namespace().OpenFolder(folder, 0, open), srOk);
    TStoreId id = kNoStoreId;
    EXPECT_EQ(open->SaveMessage(message.Source(), state, &id), srOk);
    return id;
}

std::vector<TStoreId> MesgListTest::SaveMany(TStoreId folder, int count, const std::function<TTestMessage(int)>& make,
                                             quint32 state)
{
    std::unique_ptr<TStoreFolder> open;
    EXPECT_EQ(FStore->Namespace().OpenFolder(folder, 0, open), srOk);
    std::vector<TStoreId> ids;
    for (int n = 0; n < count; ++n) {
        TStoreId id = kNoStoreId;
        EXPECT_EQ(open->SaveMessage(make(n).Source(), state, &id), srOk);
        ids.push_back(id);
    }
    return ids;
}

QStringList MesgListTest::ColumnTexts(TMesgListView& list, int column)
{
    QStringList texts;
    for (int row = 0; row < list.ItemCount(); ++row)
        texts << list.CellText(row, column);
    return texts;
}

TStoreId MesgListTest::IdOfRow(TMesgListView& list, int row)
{
    const TSyncItemRef ref = list.Messages()->ItemRefForRow(row);
    return ref ? static_cast<TStoreId>(ref->Id()) : kNoStoreId;
}

std::vector<TStoreId> MesgListTest::SelectedIds(TMesgListView& list)
{
    std::vector<TStoreId> ids;
    for (const auto& [first, last] : list.SelectedRanges())
        for (int row = first; row <= last; ++row)
            ids.push_back(IdOfRow(list, row));
    return ids;
}

void MesgListTest::WaitForRows(TMesgListView& list, int rows)
{
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == rows && list.UpdateCount() == 0; }));
}
