#include "ui/list/ListRequests.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <thread>

namespace {

// Counts the wake-up events it gets.
class TWakeCounter : public QObject
{
public:
    int WakeUps = 0;

protected:
    void customEvent(QEvent* event) override { WakeUps += TListRequestQueue::IsWakeUp(event) ? 1 : 0; }
};

// Requests from another thread merge until they are taken, behind one wake-up.
TEST(ListRequestQueue, MergesRequestsBehindOneWakeUp)
{
    TWakeCounter receiver;
    TListRequestQueue queue(&receiver);
    std::thread([&queue] {
        for (int n = 1; n <= 1000; ++n) {
            queue.RequestCount(n);
            queue.RequestRow(n % 7 + 3);
            queue.PostWakeUp();
        }
    }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.WakeUps, 1);
    const TListRequestQueue::TRequests taken = queue.Take();
    EXPECT_FALSE(taken.Clear);
    EXPECT_EQ(taken.Count, 1000);
    EXPECT_EQ(taken.FirstRow, 3);
    EXPECT_EQ(taken.LastRow, 9);

    queue.RequestRow(-1);
    queue.RequestCount(5);
    queue.RequestClear();
    queue.RequestRow(2);
    queue.PostWakeUp();
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.WakeUps, 2) << "a take makes room for the next wake-up";
    const TListRequestQueue::TRequests cleared = queue.Take();
    EXPECT_TRUE(cleared.Clear);
    EXPECT_FALSE(cleared.Count.has_value()) << "a clear drops the counts asked for before it";
    EXPECT_EQ(cleared.FirstRow, 2);
    EXPECT_EQ(cleared.LastRow, 2);
}

} // namespace
