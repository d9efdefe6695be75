#include "messages/MesgFields.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/mesglist/MailColumnsList.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using ::PrintTo;

struct TEditCase
{
    std::string Name;
    std::vector<int> Start;
    std::function<void(TMailColumnsList&)> Edit;
    std::vector<int> Result;
    QString Error;   // the message of the list error, when one is raised
};

class MailColumnsEdits : public ::testing::TestWithParam<TEditCase> {};

TEST_P(MailColumnsEdits, ChangeTheColumnsOrRaiseTheListError)
{
    const TEditCase& c = GetParam();
    TMailColumnsList columns;
    columns.SetFields(c.Start);
    int changes = 0;
    QObject::connect(&columns, &TMailColumnsList::Changed, [&changes] { ++changes; });
    QString error;
    try {
        c.Edit(columns);
    } catch (const EListError& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, c.Error);
    EXPECT_EQ(columns.Fields(), c.Result);
    EXPECT_EQ(changes, c.Result == c.Start ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MailColumnsEdits,
    ::testing::Values(
        TEditCase{"AddAppends", {mcSubject}, [](auto& c) { c.AddField(mcSize); }, {mcSubject, mcSize}, {}},
        TEditCase{"AddListedDoesNothing", {mcSubject, mcSize}, [](auto& c) { c.AddField(mcSubject); },
                  {mcSubject, mcSize}, {}},
        TEditCase{"InsertAtTheEnd", {mcSubject}, [](auto& c) { c.InsertField(1, mcFlagged); }, {mcSubject, mcFlagged}, {}},
        TEditCase{"InsertMovesAListedField", {mcSubject, mcSize, mcFlagged}, [](auto& c) { c.InsertField(0, mcFlagged); },
                  {mcFlagged, mcSubject, mcSize}, {}},
        TEditCase{"InsertAtItsOwnPlaceDoesNothing", {mcSubject, mcSize}, [](auto& c) { c.InsertField(1, mcSize); },
                  {mcSubject, mcSize}, {}},
        TEditCase{"InsertBeyondTheEnd", {mcSubject}, [](auto& c) { c.InsertField(2, mcSize); }, {mcSubject},
                  QStringLiteral("List index out of bounds (2)")},
        TEditCase{"Move", {mcSubject, mcSize, mcFlagged}, [](auto& c) { c.MoveField(2, 0); },
                  {mcFlagged, mcSubject, mcSize}, {}},
        TEditCase{"MoveFromNowhere", {mcSubject, mcSize}, [](auto& c) { c.MoveField(-1, 0); }, {mcSubject, mcSize},
                  QStringLiteral("List index out of bounds (-1)")},
        TEditCase{"MoveToNowhere", {mcSubject, mcSize}, [](auto& c) { c.MoveField(0, 2); }, {mcSubject, mcSize},
                  QStringLiteral("List index out of bounds (2)")},
        TEditCase{"Delete", {mcSubject, mcSize}, [](auto& c) { c.DeleteField(0); }, {mcSize}, {}},
        TEditCase{"DeleteNowhere", {mcSubject}, [](auto& c) { c.DeleteField(1); }, {mcSubject},
                  QStringLiteral("List index out of bounds (1)")},
        TEditCase{"FieldOutOfRange", {mcSubject}, [](auto& c) { (void)c.Field(3); }, {mcSubject},
                  QStringLiteral("List index out of bounds (3)")},
        TEditCase{"AddFirstHidden", {mcSubject, mcFromRealName}, [](auto& c) { c.AddFirstHidden(); },
                  {mcSubject, mcFromRealName, mcFromEmail}, {}},
        TEditCase{"AddFirstHiddenWithNoneHidden", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, [](auto& c) { c.AddFirstHidden(); },
                  {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}},
        TEditCase{"SetFieldsDropsUnknownAndRepeated", {mcSubject}, [](auto& c) { c.SetFields({mcSize, 42, -1, mcSize, mcSubject}); },
                  {mcSize, mcSubject}, {}}),
    [](const auto& info) { return info.param.Name; });

TEST(MailColumnsList, HiddenFieldsComeInFieldOrder)
{
    TMailColumnsList columns;
    columns.SetFields({mcFlagged, mcSubject, mcDateSent});
    ASSERT_EQ(columns.HiddenCount(), 8);
    std::vector<int> hidden;
    for (int i = 0; i < columns.HiddenCount(); ++i)
        hidden.push_back(columns.HiddenField(i));
    EXPECT_EQ(hidden, (std::vector<int>{mcFromRealName, mcFromEmail, mcToRealName, mcToEmail, mcDateReceived, mcSize,
                                        mcAttachment, mcPriority}));
    EXPECT_THROW((void)columns.HiddenField(8), EListError);
}

TEST(MailColumnsList, TheFirstTextColumnIsTheFirstOfSubjectNamesAndAddresses)
{
    TMailColumnsList columns;
    columns.SetFields({mcSize, mcToRealName, mcSubject, mcFlagged});
    EXPECT_FALSE(columns.IsFirstTextColumn(0));
    EXPECT_TRUE(columns.IsFirstTextColumn(1));
    EXPECT_FALSE(columns.IsFirstTextColumn(2));
    EXPECT_FALSE(columns.IsFirstTextColumn(9));
    EXPECT_TRUE(columns.HasTextColumn());
    columns.SetFields({mcSize, mcDateSent, mcAttachment});
    EXPECT_FALSE(columns.HasTextColumn());
}

TEST(MailColumnsList, CaptionsIncludeTheIconFields)
{
    TEnglishLanguage language;
    TMailColumnsList columns;
    columns.SetFields({mcAttachment, mcFromRealName});
    EXPECT_EQ(columns.Caption(0), QStringLiteral("Attachment"));
    EXPECT_EQ(columns.Text(1), QStringLiteral("From"));
    EXPECT_EQ(TMailColumnsList::FieldOfName(QStringLiteral(" McPriority ")), mcPriority);
    EXPECT_EQ(TMailColumnsList::FieldOfName(QStringLiteral("nonsense")), mcSubject);
}

} // namespace
