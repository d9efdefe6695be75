#include "store/OEFavorites.h"

#include "settings/IniDocument.h"
#include "settings/IniErrors.h"
#include "settings/IniFiler.h"
#include "settings/Options.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr TStoreId kInbox = 1;
constexpr TStoreId kDeletedItems = 4;
constexpr TStoreId kDrafts = 5;

// A new store per test; `FOther` is another window's folder model on the
// same store, through which the tests change folders behind the
// favourites' back.
class FavoritesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("VELLUMO_STORE", QFile::encodeName(TTestEnvironment::NewStorePath()));
        FOther = std::make_unique<TOEFolders>();
        FFavorites = std::make_unique<TOEFavorites>();
        FFavorites->OnChange = [this](TOEFavorites*) { ++FChanges; };
        FWork = FOther->AddFolder(kInbox, "Work");
        FHome = FOther->AddFolder(kRootFolderId, "Home");
        FTrips = FOther->AddFolder(FHome, "Trips");
        ASSERT_NE(FTrips, kNoStoreId);
    }

    // The store posts its notifications while an operation runs, so
    // delivering the posted events lets the favourites hear every change made so far.
    static void Drain() { QCoreApplication::sendPostedEvents(); }

    [[nodiscard]] std::vector<TStoreId> List() const
    {
        std::vector<TStoreId> ids;
        for (int i = 0; i < FFavorites->Count(); ++i)
            ids.push_back(FFavorites->FavoriteAt(i));
        return ids;
    }

    std::unique_ptr<TOEFolders> FOther;
    std::unique_ptr<TOEFavorites> FFavorites;
    int FChanges = 0;
    TStoreId FWork = kNoStoreId;
    TStoreId FHome = kNoStoreId;
    TStoreId FTrips = kNoStoreId;
};

TEST_F(FavoritesTest, AddingDeletingAndTheHotkeySlots)
{
    FFavorites->AddFavorite(FWork, 3);
    FFavorites->AddFavorite(FHome);
    FFavorites->AddFavorite(FWork, 7);   // listed already: only the slot is given
    EXPECT_EQ(List(), (std::vector<TStoreId>{FWork, FHome}));
    EXPECT_EQ(FFavorites->HotkeyFolder(3), FWork);
    EXPECT_EQ(FFavorites->HotkeyFolder(7), FWork);
    EXPECT_EQ(FFavorites->HotkeyOf(0), 3);   // the first slot counts
    EXPECT_EQ(FFavorites->HotkeyOf(1), -1);
    EXPECT_EQ(FFavorites->IndexOfFavorite(FHome), 1);
    EXPECT_EQ(FFavorites->FavoriteName(1), QStringLiteral("Home"));
    EXPECT_EQ(FFavorites->FolderName(4242), QString());
    EXPECT_EQ(FChanges, 3);

    // Neither the root nor "no folder" can be a favourite.
    FFavorites->AddFavorite(kRootFolderId, 0);
    FFavorites->AddFavorite(kNoStoreId);
    EXPECT_EQ(FFavorites->Count(), 2);
    EXPECT_EQ(FFavorites->HotkeyFolder(0), 0u);

    FFavorites->DeleteFavorite(-1);
    FFavorites->RemoveFavorite(FWork);
    EXPECT_EQ(List(), std::vector<TStoreId>{FHome});
    EXPECT_EQ(FFavorites->HotkeyFolder(3), 0u);
    EXPECT_EQ(FFavorites->HotkeyFolder(7), 0u);

    FFavorites->SetHotkeyFolder(9, FHome);
    EXPECT_EQ(FFavorites->HotkeyOf(0), 9);
    FFavorites->SetHotkeyFolder(9, 0);
    EXPECT_EQ(FFavorites->HotkeyOf(0), -1);
    EXPECT_EQ(FChanges, 6);
}

TEST_F(FavoritesTest, SlotsAndPositionsOutOfRangeRaiseTheListError)
{
    FFavorites->AddFavorite(FWork);
    const auto expectError = [](const std::function<void()>& call, const QString& text) {
        try {
            call();
            ADD_FAILURE() << "no error for " << text.toStdString();
        } catch (const EStringListError& error) {
            EXPECT_EQ(error.Message(), text);
        }
    };
    expectError([&] { (void)FFavorites->HotkeyFolder(10); }, QStringLiteral("List index out of bounds (10)"));
    expectError([&] { FFavorites->SetHotkeyFolder(-1, FWork); }, QStringLiteral("List index out of bounds (-1)"));
    expectError([&] { FFavorites->AddFavorite(FHome, 10); }, QStringLiteral("List index out of bounds (10)"));
    expectError([&] { (void)FFavorites->FavoriteAt(1); }, QStringLiteral("List index out of bounds (1)"));
    expectError([&] { FFavorites->MoveFavorite(0, 1); }, QStringLiteral("List index out of bounds (1)"));
    EXPECT_EQ(List(), std::vector<TStoreId>{FWork});   // the bad slot added nothing
}

TEST_F(FavoritesTest, MovingAFavouriteKeepsTheHotkeysWithTheirFolders)
{
    FFavorites->AddFavorite(FWork, 1);
    FFavorites->AddFavorite(FHome);
    FFavorites->AddFavorite(FTrips, 2);
    FChanges = 0;
    FFavorites->MoveFavorite(2, 0);
    EXPECT_EQ(List(), (std::vector<TStoreId>{FTrips, FWork, FHome}));
    FFavorites->MoveFavorite(1, 2);
    EXPECT_EQ(List(), (std::vector<TStoreId>{FTrips, FHome, FWork}));
    EXPECT_EQ(FFavorites->HotkeyOf(0), 2);
    EXPECT_EQ(FFavorites->HotkeyOf(2), 1);
    EXPECT_EQ(FChanges, 2);
}

TEST_F(FavoritesTest, FollowRenamesMovesAndDeletionsMadeByAnotherWindow)
{
    FFavorites->AddFavorite(FWork, 1);
    FFavorites->AddFavorite(FTrips, 2);
    FFavorites->AddFavorite(FHome, 3);
    FChanges = 0;

    ASSERT_TRUE(FOther->RenameFolderId(FWork, "Projects"));
    ASSERT_TRUE(FOther->MoveFolderId(FTrips, kDrafts));
    // Deleting outside Deleted Items moves the folder there: still a favourite.
    ASSERT_TRUE(FOther->DeleteFolderId(FHome));
    Drain();
    EXPECT_EQ(List(), (std::vector<TStoreId>{FWork, FTrips, FHome}));
    EXPECT_EQ(FFavorites->FavoriteName(0), QStringLiteral("Projects"));
    EXPECT_EQ(FFavorites->HotkeyFolder(1), FWork);
    EXPECT_EQ(FFavorites->HotkeyFolder(2), FTrips);
    EXPECT_EQ(FFavorites->HotkeyFolder(3), FHome);
    EXPECT_EQ(FFavorites->FindParentId(FHome), kDeletedItems);
    EXPECT_GE(FChanges, 1);   // the rename changed a menu caption

    // Inside Deleted Items deletion is final: the favourite and its hotkey go.
    FChanges = 0;
    ASSERT_TRUE(FOther->DeleteFolderId(FHome));
    Drain();
    EXPECT_EQ(List(), (std::vector<TStoreId>{FWork, FTrips}));
    EXPECT_EQ(FFavorites->HotkeyFolder(3), 0u);
    EXPECT_EQ(FChanges, 1);
}

TEST_F(FavoritesTest, MessagesArrivingInAFavouriteDoNotAnnounceAChange)
{
    FFavorites->AddFavorite(FWork, 0);
    FChanges = 0;
    std::unique_ptr<TStoreFolder> work;
    ASSERT_EQ(FOther->Namespace().OpenFolder(FWork, 0, work), srOk);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(work->SaveMessage("Subject: x\r\n\r\nx\r\n", kMsgUnread, nullptr), srOk);
    Drain();
    EXPECT_EQ(FChanges, 0);
    EXPECT_EQ(FFavorites->HotkeyFolder(0), FWork);
}

// The favourites go through the settings object's own hook, as at the end
// of a run, and come back in the next run.
TEST_F(FavoritesTest, PersistInTheFavoritesSectionAndComeBack)
{
    TSettingsSandbox sandbox;
    TCapturedBoxes boxes;
    {
        TOptions options;
        options.SetFavorites(FFavorites.get());
        FFavorites->AddFavorite(FWork, 4);
        FFavorites->AddFavorite(FHome);
        FFavorites->AddFavorite(FTrips, 0);
        options.SaveSettings(&options);
    }
    const std::shared_ptr<TIniDocument> file = TIniDocument::ReadFile(sandbox.ConfigPath());
    const auto onDisk = [&](const char* key) {
        return file->Read(QStringLiteral("Favorites"), QString::fromLatin1(key)).value_or(QStringLiteral("-"));
    };
    EXPECT_EQ(onDisk("Count"), QStringLiteral("3"));
    EXPECT_EQ(onDisk("0"), QString::number(FWork));
    EXPECT_EQ(onDisk("2"), QString::number(FTrips));
    EXPECT_EQ(onDisk("hotkey0"), QString::number(FTrips));
    EXPECT_EQ(onDisk("hotkey4"), QString::number(FWork));
    EXPECT_EQ(onDisk("hotkey9"), QStringLiteral("0"));

    TOEFavorites next;
    int changes = 0;
    next.OnChange = [&](TOEFavorites*) { ++changes; };
    TOptions options;
    options.SetFavorites(&next);
    options.LoadSettings(&options);
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(next.Count(), 3);
    EXPECT_EQ(next.FavoriteAt(1), FHome);
    EXPECT_EQ(next.HotkeyFolder(0), FTrips);
    EXPECT_EQ(next.HotkeyFolder(4), FWork);
    EXPECT_EQ(next.HotkeyOf(1), -1);
    EXPECT_TRUE(boxes.Texts.isEmpty()) << boxes.Texts.join(QLatin1Char('\n')).toStdString();
}

struct TReadCase
{
    const char* Name;
    const char* Section;                 // with %W (Work), %H (Home) and %G (a folder that is gone)
    std::vector<const char*> Expected;   // "W", "H"
    std::vector<std::pair<int, const char*>> Hotkeys;
};

class FavoritesReadTest : public FavoritesTest, public ::testing::WithParamInterface<TReadCase>
{
};

TEST_P(FavoritesReadTest, ReadsWhatTheStoreStillKnows)
{
    const TReadCase& c = GetParam();
    const TStoreId gone = FOther->AddFolder(kDeletedItems, "gone");
    ASSERT_TRUE(FOther->DeleteFolderId(gone));
    QByteArray text = QByteArray("[Favorites]\n") + c.Section;
    text.replace("%W", QByteArray::number(FWork)).replace("%H", QByteArray::number(FHome));
    text.replace("%G", QByteArray::number(gone));
    const QString path = TTestEnvironment::NewFolder() + QStringLiteral("/favorites.ini");
    WriteTestFile(path, text);

    FFavorites->AddFavorite(FTrips, 5);   // reading starts afresh
    const auto filer = TIniFiler::OverFile(path);
    filer->SetLoading(true);
    filer->SetSection(QStringLiteral("Other"));
    FFavorites->ReadWrite(*filer);
    EXPECT_EQ(filer->Section(), QStringLiteral("Other"));

    std::vector<TStoreId> expected;
    for (const char* which : c.Expected)
        expected.push_back(which[0] == 'W' ? FWork : FHome);
    EXPECT_EQ(List(), expected);
    std::array<TStoreId, TOEFavorites::kHotkeySlots> slots{};
    for (const auto& [slot, which] : c.Hotkeys)
        slots[static_cast<size_t>(slot)] = which[0] == 'W' ? FWork : FHome;
    for (int slot = 0; slot < TOEFavorites::kHotkeySlots; ++slot)
        EXPECT_EQ(FFavorites->HotkeyFolder(slot), slots[static_cast<size_t>(slot)]) << "slot " << slot;
}

const TReadCase kReadCases[] = {
    {"GoneAndZeroIdsAreDropped", "Count=3\n0=%W\n1=0\n2=%G\n", {"W"}, {}},
    {"AHotkeyOfAGoneFolderStaysEmpty", "Count=2\n0=%G\n1=%H\nhotkey1=%G\nhotkey2=%H\n", {"H"}, {{2, "H"}}},
    {"AHotkeyOfAFolderNotListedStaysEmpty", "Count=1\n0=%W\nhotkey3=%H\nhotkey4=%W\n", {"W"}, {{4, "W"}}},
    {"MissingOrBadCountReadsNothing", "Count=many\n0=%W\nhotkey0=%W\n", {}, {}},
    {"NoSectionReadsNothing", "", {}, {}},
    {"ADamagedCountReadsOnlyTheKeysThere", "Count=2000000000\n0=%W\n1=%H\n", {"W", "H"}, {}},
    {"NotNumbersAreSkipped", "Count=3\n0=abc\n1=%H\n2=-1\nhotkey9=x\n", {"H"}, {}},
};

INSTANTIATE_TEST_SUITE_P(Cases, FavoritesReadTest, ::testing::ValuesIn(kReadCases), TCaseName());

} // namespace
