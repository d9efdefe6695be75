#include "tests/ui/MesgListTestSupport.h"

#include "base/PrivateMessages.h"
#include "content/MimeMessage.h"
#include "messages/MesgItem.h"
#include "store/OEFolders.h"
#include "store/OeMesgItems.h"
#include "tests/support/TestEnvironment.h"
#include "ui/mesglist/MailColumnsList.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLayout>
#include <QLocale>
#include <QPainter>
#include <QTest>

namespace {

using ::PrintTo;

// A message list that records how each cell is drawn.
class TProbeList : public TMesgListView
{
public:
    struct TDrawn
    {
        bool Bold = false;
        bool Italic = false;
        QColor Text;
    };

    // How the row was drawn last (its first column).
    std::map<int, TDrawn> Drawn;

protected:
    bool CustomDrawCell(int row, int column, QStyleOptionViewItem& option, QPainter* painter) override
    {
        const bool result = TMesgListView::CustomDrawCell(row, column, option, painter);
        if (column == 0) {
            const QPalette::ColorRole role = option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                    : QPalette::Text;
            Drawn[row] = {option.font.bold(), option.font.italic(), option.palette.color(role)};
        }
        return result;
    }
};

class MesgListViewTest : public MesgListTest
{
protected:
    TMesgListView& List() { return FWindow->List(); }

    // Paints the list now and answers how the row was drawn.
    TProbeList::TDrawn DrawnRow(TProbeList& list, int row)
    {
        list.Drawn.clear();
        list.viewport()->repaint();
        return list.Drawn[row];
    }
};

TEST_F(MesgListViewTest, ColumnsShowTheFieldsOfEachMessage)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const TTestMessage message =
        TTestMessage("Quarterly report").From("Carol Clark <carol@example.org>").To("Dan Dale <dan@example.org>");
    Save(kInbox, message);
    List().MailColumns().SetFields({mcSubject, mcFromRealName, mcFromEmail, mcToRealName, mcToEmail, mcDateSent,
                                    mcDateReceived, mcSize});
    FWindow->Open(kInbox);
    ASSERT_EQ(List().ItemCount(), 1);
    const QStringList texts = [&] {
        QStringList row;
        for (int column = 0; column < static_cast<int>(List().Columns().size()); ++column)
            row << List().CellText(0, column);
        return row;
    }();
    EXPECT_EQ(texts.mid(0, 5), Texts({"Quarterly report", "Carol Clark",
                                             "carol@example.org", "Dan Dale",
                                             "dan@example.org"}));
    EXPECT_EQ(texts[7], QString::number(message.Source().size()));
    EXPECT_FALSE(texts[6].isEmpty()) << "the date the store received the message";

    // The date details: the date alone, the time alone, or both.
    const QString both = texts[5];
    List().SetDateTimeDetails(TMesgListView::ddOnlyDate);
    const QString date = List().CellText(0, 5);
    List().SetDateTimeDetails(TMesgListView::ddOnlyTime);
    const QString time = List().CellText(0, 5);
    EXPECT_TRUE(date.contains(QStringLiteral("2026")) && !date.contains(u':')) << date.toStdString();
    EXPECT_TRUE(time.contains(u':') && !time.contains(QStringLiteral("2026"))) << time.toStdString();
    EXPECT_EQ(both, date + u' ' + time);
    QLocale::setDefault(QLocale::c());
}

TEST_F(MesgListViewTest, IconColumnsHaveNoCaptionButAnImageAndAHint)
{
    List().MailColumns().SetFields({mcSubject, mcSize, mcAttachment, mcPriority, mcFlagged});
    const std::vector<TListColumn>& columns = List().Columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].Caption, QStringLiteral("Subject"));
    EXPECT_EQ(columns[1].Caption, QStringLiteral("Size"));
    EXPECT_TRUE(columns[1].Alignment & Qt::AlignRight);
    for (int column = 2; column < 5; ++column) {
        EXPECT_TRUE(columns[column].Caption.isEmpty());
        EXPECT_GE(columns[column].ImageIndex, 0);
    }
    EXPECT_EQ(columns[2].Hint, QStringLiteral("Attachment"));
    EXPECT_EQ(columns[4].Hint, QStringLiteral("Flagged"));
    EXPECT_EQ(List().model()->headerData(3, Qt::Horizontal, Qt::AccessibleTextRole).toString(),
              QStringLiteral("Priority"));
}

struct TImageCase
{
    std::string Name;
    std::vector<int> Fields;
    TTestMessage Message;
    quint32 State;
    std::vector<int> Images;   // per column
};

class MesgListImages : public MesgListViewTest, public ::testing::WithParamInterface<TImageCase> {};

TEST_P(MesgListImages, ShowTheStateOfTheMessage)
{
    const TImageCase& c = GetParam();
    Save(kInbox, c.Message, c.State);
    List().MailColumns().SetFields(c.Fields);
    FWindow->Open(kInbox);
    ASSERT_EQ(List().ItemCount(), 1);
    std::vector<int> images;
    for (std::size_t column = 0; column < c.Fields.size(); ++column)
        images.push_back(List().CellImage(0, static_cast<int>(column)));
    EXPECT_EQ(images, c.Images);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MesgListImages,
    ::testing::Values(
        // The envelope goes to the first text column, wherever it is.
        TImageCase{"UnreadEnvelopeInTheFirstTextColumn", {mcToRealName, mcSubject}, TTestMessage(), kMsgUnread, {miUnread, -1}},
        TImageCase{"ReadEnvelopeAfterIconColumns", {mcSize, mcFlagged, mcFromEmail, mcSubject}, TTestMessage(), 0,
                   {-1, -1, miRead, -1}},
        TImageCase{"NoTextColumnNoEnvelope", {mcSize, mcDateSent}, TTestMessage(), kMsgUnread, {-1, -1}},
        TImageCase{"AttachmentHighPriorityFlagged", {mcSubject, mcAttachment, mcPriority, mcFlagged},
                   TTestMessage("With file").XPriority(2).WithAttachment(), kMsgFlagged,
                   {miRead, miAttachment, miHighPriority, miFlagged}},
        TImageCase{"HighestPriority", {mcSubject, mcPriority}, TTestMessage().XPriority(1), 0, {miRead, miHighPriority}},
        TImageCase{"NormalPriorityShowsNothing", {mcSubject, mcAttachment, mcPriority, mcFlagged}, TTestMessage().XPriority(3), 0,
                   {miRead, -1, -1, -1}},
        TImageCase{"LowPriority", {mcSubject, mcPriority}, TTestMessage().XPriority(4), 0, {miRead, miLowPriority}},
        TImageCase{"LowestPriority", {mcSubject, mcPriority}, TTestMessage().XPriority(5), 0, {miRead, miLowPriority}}),
    [](const auto& info) { return info.param.Name; });

struct TStyleCase
{
    std::string Name;
    TTestMessage Message;
    quint32 State;
    bool Bold;
    bool Italic;
    enum { Plain, Red, Blue } Color;
};

class MesgListStyles : public MesgListViewTest, public ::testing::WithParamInterface<TStyleCase> {};

TEST_P(MesgListStyles, FollowTheStateAndPriority)
{
    const TStyleCase& c = GetParam();
    auto* list = new TProbeList;
    list->SetMessages(std::make_unique<TOeMesgItems>());
    FWindow->layout()->addWidget(list);
    Save(kInbox, c.Message, c.State);
    static_cast<TOeMesgItems*>(list->Messages())->SetFolderId(kInbox);
    ASSERT_TRUE(static_cast<TOeMesgItems*>(list->Messages())->WaitUntilParsed(10000));
    WaitForRows(*list, 1);
    list->ClearSelection();
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    const TProbeList::TDrawn drawn = DrawnRow(*list, 0);
    EXPECT_EQ(drawn.Bold, c.Bold);
    EXPECT_EQ(drawn.Italic, c.Italic);
    const QPalette& palette = list->palette();
    const QColor expected = c.Color == TStyleCase::Red    ? HighPriorityColor(palette)
                            : c.Color == TStyleCase::Blue ? FlaggedColor(palette)
                                                          : palette.color(QPalette::Text);
    EXPECT_EQ(drawn.Text, expected);

    // A selected row is written in the highlight's text colour, in the same face.
    list->SetItemIndex(0);
    const TProbeList::TDrawn selected = DrawnRow(*list, 0);
    EXPECT_EQ(selected.Bold, c.Bold);
    EXPECT_EQ(selected.Text, palette.color(QPalette::HighlightedText));
    delete list;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MesgListStyles,
    ::testing::Values(TStyleCase{"ReadIsPlain", TTestMessage(), 0, false, false, TStyleCase::Plain},
                      TStyleCase{"UnreadIsBold", TTestMessage(), kMsgUnread, true, false, TStyleCase::Plain},
                      TStyleCase{"UnsentIsItalic", TTestMessage(), kMsgUnsent, false, true, TStyleCase::Plain},
                      TStyleCase{"HighPriorityIsRed", TTestMessage().XPriority(2), 0, false, false, TStyleCase::Red},
                      TStyleCase{"LowPriorityIsPlain", TTestMessage().XPriority(5), 0, false, false, TStyleCase::Plain},
                      TStyleCase{"FlaggedIsBlue", TTestMessage(), kMsgFlagged, false, false, TStyleCase::Blue},
                      TStyleCase{"FlaggedHighPriorityUnreadIsBoldBlue", TTestMessage().XPriority(1), kMsgFlagged | kMsgUnread,
                                 true, false, TStyleCase::Blue}),
    [](const auto& info) { return info.param.Name; });

TEST_F(MesgListViewTest, AMessageMarkedReadElsewhereIsNoLongerBold)
{
    auto* list = new TProbeList;
    list->SetMessages(std::make_unique<TOeMesgItems>());
    FWindow->layout()->addWidget(list);
    const TStoreId first = Save(kInbox, TTestMessage("First"), kMsgUnread);
    Save(kInbox, TTestMessage("Second"), kMsgUnread);
    auto& messages = *static_cast<TOeMesgItems*>(list->Messages());
    messages.SetFolderId(kInbox);
    ASSERT_TRUE(messages.WaitUntilParsed(10000));
    WaitForRows(*list, 2);
    list->ClearSelection();
    list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    ASSERT_EQ(IdOfRow(*list, 0), first);
    ASSERT_TRUE(DrawnRow(*list, 0).Bold);
    EXPECT_EQ(list->CellImage(0, 0), miUnread);

    // Another window (a folder model of its own) marks the first one read.
    FStore->SetFolderId(kInbox);
    ASSERT_TRUE(FStore->Folder()->MarkMessagesAsRead(true, 0, {first}) == srOk);
    int paints = 0;
    ASSERT_TRUE(WaitUntil([&] {
        list->Drawn.clear();
        QCoreApplication::processEvents();
        paints += list->Drawn.count(0) ? 1 : 0;
        return list->CellImage(0, 0) == miRead;
    }));
    // The row was redrawn by itself, not only when asked.
    EXPECT_GT(paints + (WaitUntil([&] { return list->Drawn.count(0) > 0; }, 500) ? 1 : 0), 0);
    EXPECT_FALSE(DrawnRow(*list, 0).Bold);
    EXPECT_TRUE(DrawnRow(*list, 1).Bold);
    delete list;
}

TEST_F(MesgListViewTest, AHeaderClickSortsAndASecondClickReverses)
{
    Save(kInbox, TTestMessage("Beta").From("Zed <a@example.org>"));
    Save(kInbox, TTestMessage("Alpha").From("Yan <c@example.org>"));
    Save(kInbox, TTestMessage("Gamma").From("Xia <b@example.org>"));
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    ASSERT_EQ(list.MessageSort(), msSubject);
    EXPECT_EQ(ColumnTexts(list, 0), Texts({"Alpha", "Beta", "Gamma"}));

    QHeaderView* header = list.Header();
    const auto click = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        Settle(10);
    };
    click(1);   // From (the display name)
    EXPECT_EQ(list.MessageSort(), msFromRealName);
    EXPECT_FALSE(list.InvertSort());
    EXPECT_EQ(ColumnTexts(list, 1), Texts({"Xia", "Yan", "Zed"}));
    EXPECT_EQ(header->sortIndicatorSection(), 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    click(1);
    EXPECT_EQ(list.MessageSort(), msFromRealName);
    EXPECT_TRUE(list.InvertSort());
    EXPECT_EQ(ColumnTexts(list, 1), Texts({"Zed", "Yan", "Xia"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    click(2);   // From address: another key sorts from the start
    EXPECT_EQ(list.MessageSort(), msFromEmail);
    EXPECT_FALSE(list.InvertSort());
    EXPECT_EQ(ColumnTexts(list, 2), Texts({"a@example.org", "b@example.org", "c@example.org"}));
}

TEST_F(MesgListViewTest, TheSizeHeaderSortsByTheVisibleColumns)
{
    Save(kInbox, TTestMessage("Same").From("B <b@example.org>"));
    Save(kInbox, TTestMessage("Same").From("A <a@example.org>").MessageId("<2@x>"));
    Save(kInbox, TTestMessage("Longer subject text here").From("C <c@example.org>"));
    List().MailColumns().SetFields({mcSubject, mcFromRealName, mcSize});
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    QHeaderView* header = list.Header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
    Settle(10);
    EXPECT_EQ(list.MessageSort(), msColumns);
    // Subject first, then the name: not by size.
    EXPECT_EQ(ColumnTexts(list, 1), Texts({"C", "A", "B"}));
    EXPECT_EQ(header->sortIndicatorSection(), -1);
}

// New messages (saved by another window, or by the command-line tool) take
// their sorted places while the selected message stays selected.
TEST_F(MesgListViewTest, AMessageArrivingAfterTheLoadIsListedAndTheSelectionStays)
{
    Save(kInbox, TTestMessage("Bravo"));
    Save(kInbox, TTestMessage("Delta"));
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.SetItemIndex(1);
    const TStoreId delta = IdOfRow(list, 1);
    Save(kInbox, TTestMessage("Alpha"));
    ASSERT_TRUE(WaitUntil([&] { return list.ItemCount() == 3; }));
    Settle(20);
    EXPECT_EQ(ColumnTexts(list, 0), Texts({"Alpha", "Bravo", "Delta"}));
    EXPECT_EQ(SelectedIds(list), std::vector<TStoreId>{delta});
}

TEST_F(MesgListViewTest, MesgNameSelectsTheMessageAndWaitsForOneNotYetListed)
{
    Save(kInbox, TTestMessage("One").MessageId("<One@Example.org>"));
    Save(kInbox, TTestMessage("Two").MessageId("<two@example.org>"));
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.SetMesgName("<two@example.org>");
    EXPECT_EQ(list.MesgName(), QByteArray("<two@example.org>"));
    EXPECT_EQ(list.CellText(list.ItemIndex(), 0), QStringLiteral("Two"));
    // Message ids are kept in small letters.
    list.SetMesgName("<one@example.org>");
    EXPECT_EQ(list.CellText(list.ItemIndex(), 0), QStringLiteral("One"));

    // Not there yet: nothing changes now; the message is selected when it arrives.
    list.SetMesgName("<three@example.org>");
    EXPECT_EQ(list.CellText(list.ItemIndex(), 0), QStringLiteral("One"));
    Save(kInbox, TTestMessage("Three").MessageId("<three@example.org>"));
    ASSERT_TRUE(WaitUntil([&] { return list.MesgName() == "<three@example.org>"; }));
    EXPECT_EQ(SelectedIds(list).size(), 1u);

    // A name that the next load does not bring is forgotten after it.
    list.SetMesgName("<never@example.org>");
    // Handled now, so that the wait below sees the reload running.
    QCoreApplication::postEvent(&list, new QEvent(EventType(pmReloadList)));
    QCoreApplication::sendPostedEvents(&list, EventType(pmReloadList));
    ASSERT_TRUE(WaitUntil([&] { return !FWindow->Messages().LoadRunning() && list.UpdateCount() == 0; }));
    Settle(20);
    EXPECT_TRUE(list.PendingName().isEmpty());
    EXPECT_EQ(list.ItemCount(), 3);
}

TEST_F(MesgListViewTest, AReloadKeepsTheMessageTheUserIsOn)
{
    for (int i = 0; i < 5; ++i)
        Save(kInbox, TTestMessage("Message " + QByteArray::number(i)));
    FWindow->Open(kInbox);
    TMesgListView& list = List();
    list.SetItemIndex(3);
    const TStoreId id = IdOfRow(list, 3);
    // A reload reads the list fields the store keeps (nothing is parsed
    // again); it ends in an update of the list.
    int updates = 0;
    QObject::connect(&list, &TVirtualListView::ListUpdated, &list, [&updates] { ++updates; });
    QCoreApplication::postEvent(&list, new QEvent(EventType(pmReloadList)));
    ASSERT_TRUE(WaitUntil([&] { return updates > 0; }));
    ASSERT_TRUE(WaitUntil([&] { return !FWindow->Messages().LoadRunning() && list.UpdateCount() == 0; }));
    Settle(20);
    EXPECT_EQ(SelectedIds(list), std::vector<TStoreId>{id});
}

TEST_F(MesgListViewTest, IsReadyOnlyWithAFolderOpenAndNoLoadRunning)
{
    Save(kInbox, TTestMessage());
    TMesgListView& list = List();
    bool readyWhileLoading = true;
    FWindow->Messages().OnItemText = [&](TMesgItem&) {
        readyWhileLoading = readyWhileLoading && list.IsReady();
        return QString();
    };
    FWindow->Messages().Folders().OnFolderOpened = [&, previous = FWindow->Messages().Folders().OnFolderOpened](
                                                       TOEFolders* sender, TStoreId id) {
        previous(sender, id);
    };
    FWindow->Open(kInbox);
    EXPECT_TRUE(list.IsReady());
    list.SetItemIndex(0);
    EXPECT_TRUE(list.CanCopy());
    EXPECT_TRUE(list.CanDelete());
    list.ClearSelection();
    list.selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    EXPECT_FALSE(list.CanCopy());
    FWindow->Open(kRootFolderId);
    EXPECT_FALSE(list.IsReady());
}

TEST_F(MesgListViewTest, BackspaceOpensTheParentFolder)
{
    const TStoreId child = FStore->AddFolder(kInbox, "Child");
    FWindow->Open(child);
    TMesgListView& list = List();
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Backspace);
    ASSERT_TRUE(WaitUntil([&] { return FWindow->Messages().FolderId() == kInbox; }));
    // At the top there is no parent: a beep.
    ASSERT_TRUE(FWindow->Messages().WaitUntilParsed(10000));
    QTest::keyClick(&list, Qt::Key_Backspace);
    Settle(20);
    EXPECT_EQ(FWindow->Messages().FolderId(), kInbox);
    EXPECT_EQ(FBeeps.Count, 0) << "the list's beeps go through Beep()";
}

} // namespace
