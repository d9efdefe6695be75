// What the settings file keeps of a message list, and how the list reads
// what it finds there.

#include "tests/ui/MesgListTestSupport.h"

#include "settings/IniFiler.h"
#include "settings/SettingsStore.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "ui/mesglist/MailColumnsList.h"

#include <QHeaderView>

namespace {

using ::PrintTo;

class MesgListSettings : public MesgListTest
{
protected:
    TMesgListView& List() { return FWindow->List(); }

    void SaveList()
    {
        auto filer = TIniFiler::OverFile(FPath);
        filer->SaveObject(&List());
        filer->Commit();
    }
    void LoadList()
    {
        auto filer = TIniFiler::OverFile(FPath);
        filer->SetLoading(true);
        filer->LoadObject(&List());
    }
    QString Stored(const QString& key) const
    {
        return TIniFileStore(FPath).ReadString(QStringLiteral("MesgListView"), key, QStringLiteral("<absent>"));
    }

    QString FPath = TTestEnvironment::NewFolder() + QStringLiteral("/Vellumo.ini");
};

TEST_F(MesgListSettings, ColumnsOrderAndTheMessageSurviveARestartOfTheList)
{
    const TStoreId folder = FStore->AddFolder(kInbox, "Projects");
    Save(folder, TTestMessage("First").Date("Mon, 2 Mar 2026 09:00:00 +0000"));
    Save(folder, TTestMessage("Second").Date("Tue, 3 Mar 2026 09:00:00 +0000").MessageId("<Second@Example.org>"));
    Save(folder, TTestMessage("Third").Date("Wed, 4 Mar 2026 09:00:00 +0000"));
    TMesgListView& list = List();
    // The user hides the sender columns, adds others and drags the date to the front.
    list.MailColumns().SetFields({mcSubject, mcSize, mcFlagged, mcDateSent});
    list.Header()->moveSection(3, 0);
    Settle(10);
    ASSERT_EQ(list.MailColumns().Fields(), (std::vector<int>{mcDateSent, mcSubject, mcSize, mcFlagged}));
    list.SetMessageSort(msDateSent);
    list.SetInvertSort(true);
    list.SetDateTimeDetails(TMesgListView::ddOnlyDate);
    FWindow->Open(folder);
    list.SetItemIndex(1);
    ASSERT_EQ(list.CellText(1, 1), QStringLiteral("Second"));
    SaveList();

    EXPECT_EQ(Stored(QStringLiteral("ColumnsCount")), QStringLiteral("4"));
    EXPECT_EQ(Stored(QStringLiteral("Column0")), QStringLiteral("mcDateSent"));
    EXPECT_EQ(Stored(QStringLiteral("Column3")), QStringLiteral("mcFlagged"));
    EXPECT_EQ(Stored(QStringLiteral("MessageSort")), QStringLiteral("msDateSent"));
    EXPECT_EQ(Stored(QStringLiteral("InvertSort")), QStringLiteral("True"));
    EXPECT_EQ(Stored(QStringLiteral("DateTimeDetails")), QStringLiteral("ddOnlyDate"));
    EXPECT_EQ(Stored(QStringLiteral("MesgName")), QStringLiteral("<second@example.org>"));
    EXPECT_EQ(Stored(QStringLiteral("FolderId")), QString::number(folder));

    FWindow->Recreate();
    TMesgListView& restored = List();
    ASSERT_EQ(restored.MailColumns().Fields(), (std::vector<int>{mcSubject, mcFromRealName, mcFromEmail}));
    LoadList();
    EXPECT_EQ(restored.MailColumns().Fields(), (std::vector<int>{mcDateSent, mcSubject, mcSize, mcFlagged}));
    ASSERT_EQ(restored.Columns().size(), 4u);
    EXPECT_EQ(restored.Columns()[1].Caption, QStringLiteral("Subject"));
    EXPECT_EQ(restored.MessageSort(), msDateSent);
    EXPECT_TRUE(restored.InvertSort());
    EXPECT_EQ(restored.DateTimeDetails(), TMesgListView::ddOnlyDate);
    // The folder opens and the message is selected again once it is listed.
    ASSERT_TRUE(FWindow->Messages().WaitUntilParsed(10000));
    WaitForRows(restored, 3);
    Settle(20);
    EXPECT_EQ(FWindow->Messages().FolderId(), folder);
    EXPECT_EQ(ColumnTexts(restored, 1), Texts({"Third", "Second", "First"}));
    EXPECT_EQ(restored.MesgName(), QByteArray("<second@example.org>"));
}

struct TSectionCase
{
    std::string Name;
    std::vector<std::pair<const char*, const char*>> Keys;
    std::vector<int> Fields;
    TMessageSort Sort;
};

class MesgListSections : public MesgListSettings, public ::testing::WithParamInterface<TSectionCase> {};

TEST_P(MesgListSections, AreReadWithoutLosingTheColumns)
{
    const TSectionCase& c = GetParam();
    {
        TIniFileStore store(FPath);
        for (const auto& [key, value] : c.Keys)
            store.WriteString(QStringLiteral("MesgListView"), QString::fromLatin1(key), QString::fromLatin1(value));
        store.Flush(true);
    }
    LoadList();
    EXPECT_EQ(List().MailColumns().Fields(), c.Fields);
    EXPECT_EQ(List().MessageSort(), c.Sort);
    EXPECT_EQ(List().Columns().size(), c.Fields.size());
}

const std::vector<int> kDefaultColumns = {mcSubject, mcFromRealName, mcFromEmail};

INSTANTIATE_TEST_SUITE_P(
    Cases, MesgListSections,
    ::testing::Values(
        TSectionCase{"UnknownNameReadsAsSubject", {{"ColumnsCount", "2"}, {"Column0", "mcSize"}, {"Column1", "mcBogus"}},
                     {mcSize, mcSubject}, msSubject},
        TSectionCase{"NamesInAnyCaseAndRepeatsOnce",
                     {{"ColumnsCount", "3"}, {"Column0", "MCTOEMAIL"}, {"Column1", "mcToEmail"}, {"Column2", "mcflagged"}},
                     {mcToEmail, mcFlagged}, msSubject},
        TSectionCase{"NoCountKeepsTheColumns", {{"Column0", "mcSize"}}, kDefaultColumns, msSubject},
        TSectionCase{"ZeroCountKeepsTheColumns", {{"ColumnsCount", "0"}, {"Column0", "mcSize"}}, kDefaultColumns,
                     msSubject},
        TSectionCase{"CountNotANumberKeepsTheColumns", {{"ColumnsCount", "three"}, {"Column0", "mcSize"}},
                     kDefaultColumns, msSubject},
        TSectionCase{"HugeCountReadsOnlyTheKeysThereAre", {{"ColumnsCount", "2000000000"}, {"Column0", "mcSize"}},
                     {mcSize, mcSubject}, msSubject},
        TSectionCase{"SortKeyByNameInAnyCase", {{"MessageSort", "MSDATERECEIVED"}}, kDefaultColumns, msDateReceived},
        TSectionCase{"UnknownSortKeyIsTheSubject", {{"MessageSort", "msWhatever"}}, kDefaultColumns, msSubject}),
    [](const auto& info) { return info.param.Name; });

} // namespace
