#pragma once

#include "engine/StoreTypes.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/mesglist/MesgListView.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class TOEFolders;
class TOeMesgItems;

// A message of the tests, written as its source.
class TTestMessage
{
public:
    explicit TTestMessage(QByteArray subject = "Subject") : FSubject(std::move(subject)) {}

    TTestMessage& From(QByteArray from) { FFrom = std::move(from); return *this; }
    TTestMessage& To(QByteArray to) { FTo = std::move(to); return *this; }
    TTestMessage& Date(QByteArray date) { FDate = std::move(date); return *this; }
    // None: "<subject@example.org>".
    TTestMessage& MessageId(QByteArray id) { FMessageId = std::move(id); return *this; }
    // 1 highest ... 5 lowest.
    TTestMessage& XPriority(int priority) { FXPriority = priority; return *this; }
    TTestMessage& WithAttachment() { FAttachment = true; return *this; }

    [[nodiscard]] QByteArray Source() const;

private:
    QByteArray FSubject;
    QByteArray FFrom = "Ann Archer <ann@example.org>";
    QByteArray FTo = "Bob Baker <bob@example.org>";
    QByteArray FDate = "Mon, 2 Mar 2026 10:00:00 +0000";
    QByteArray FMessageId;
    int FXPriority = 3;
    bool FAttachment = false;
};

// The texts as a list (the build refuses implicit conversions of C strings).
[[nodiscard]] QStringList Texts(std::initializer_list<const char*> texts);

// A message list over a store collection, shown in a window of its own.
class TListWindow : public QWidget
{
public:
    TListWindow();

    [[nodiscard]] TMesgListView& List() { return *FList; }
    [[nodiscard]] TOeMesgItems& Messages();
    // Opens the folder and waits until every message is listed and the
    // list has taken them.
    void Open(TStoreId folder);
    // Replaces the list by a new one (as a new start of the program would).
    void Recreate();

private:
    TMesgListView* FList = nullptr;
};

// Tests on a store of their own with the English texts; FStore is another
// folder model on the same store, as another window's.
class MesgListTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    TStoreId Save(TStoreId folder, const TTestMessage& message, quint32 state = 0);
    // Saves `count` messages, the n-th made by `make(n)`.
    std::vector<TStoreId> SaveMany(TStoreId folder, int count, const std::function<TTestMessage(int)>& make,
                                   quint32 state = 0);
    // The texts of a column, row by row.
    [[nodiscard]] static QStringList ColumnTexts(TMesgListView& list, int column);
    // The store id of the message in a row.
    [[nodiscard]] static TStoreId IdOfRow(TMesgListView& list, int row);
    // The store ids of the selected rows, in row order.
    [[nodiscard]] static std::vector<TStoreId> SelectedIds(TMesgListView& list);
    // Runs the event loop until the list's rows follow its collection.
    static void WaitForRows(TMesgListView& list, int rows);

    static constexpr TStoreId kInbox = 1;
    static constexpr TStoreId kDeletedItems = 4;

    TEnglishLanguage FLanguage;
    TBeepCounter FBeeps;
    std::unique_ptr<TOEFolders> FStore;
    std::unique_ptr<TListWindow> FWindow;
};
