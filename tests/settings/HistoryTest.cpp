#include "settings/AppPaths.h"
#include "settings/History.h"
#include "settings/IniDocument.h"
#include "tests/settings/SettingsTestSupport.h"

#include <gtest/gtest.h>

namespace {

class HistoryTest : public ::testing::Test
{
protected:
    TSettingsSandbox FSandbox;
    THistory FHistory{kSettingsStoreKey};

    QStringList Entries() const
    {
        QStringList entries;
        for (int n = 0; n < FHistory.Count(); ++n)
            entries.append(FHistory.Get(n));
        return entries;
    }
    void Fill(const QString& prefix, const QStringList& texts)
    {
        for (auto it = texts.crbegin(); it != texts.crend(); ++it)
            FHistory.SelectHistory(prefix, *it);
    }
};

} // namespace

TEST_F(HistoryTest, SelectingMovesTheTextToTheFront)
{
    Fill(QStringLiteral("Folders"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")});
    ASSERT_EQ(Entries(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")}));

    FHistory.SelectHistory(QStringLiteral("Folders"), QStringLiteral("a"));
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), QStringLiteral("e")}));

    FHistory.SelectHistory(QStringLiteral("Folders"), QStringLiteral("D"));
    EXPECT_EQ(Entries(), (QStringList{QStringLiteral("D"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("e")}))
        << "the entry at position 3 moves to 0 and entries 0 to 2 shift down";
}

TEST_F(HistoryTest, KeepsTenEntriesPerListInTheSettingsFile)
{
    for (int i = 0; i < 12; ++i)
        FHistory.SelectHistory(QStringLiteral("Find"), QStringLiteral("text %1").arg(i));
    EXPECT_EQ(FHistory.Count(), 10);
    EXPECT_EQ(FHistory.Get(0), QStringLiteral("text 11"));
    EXPECT_EQ(FHistory.Get(9), QStringLiteral("text 2"));
    EXPECT_EQ(FHistory.Get(10), QString());

    FHistory.SelectHistory(QStringLiteral("Folders"), QStringLiteral("Входящие"));
    const auto onDisk = TIniDocument::ReadFile(FSandbox.ConfigPath());
    EXPECT_EQ(onDisk->Read(QStringLiteral("History"), QStringLiteral("Find0")), QStringLiteral("text 11"));
    EXPECT_EQ(onDisk->Read(QStringLiteral("History"), QStringLiteral("Folders0")), QStringLiteral("Входящие"));

    FHistory.SelectHistory(QStringLiteral("Find"), QString());
    FHistory.Delete(0);
    EXPECT_EQ(FHistory.Get(0), QStringLiteral("text 10"));
    EXPECT_EQ(FHistory.Count(), 9);
    FHistory.Put(3, QStringLiteral("replaced"));
    EXPECT_EQ(FHistory.Get(3), QStringLiteral("replaced"));

    FHistory.Clear();
    EXPECT_EQ(FHistory.Count(), 0);
    EXPECT_FALSE(TIniDocument::ReadFile(FSandbox.ConfigPath())->SectionExists(QStringLiteral("History")));
}
