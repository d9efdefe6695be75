#include "tests/support/TestEnvironment.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/forms/BackgroundTask.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

QProgressDialog* ShownProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// Work that only ends when it is told to stop: the window must go on
// painting meanwhile, and the dialog's Cancel must reach the work.
TEST(BackgroundTask, CancelStopsTheWorkWhileTheWindowStaysResponsive)
{
    QWidget window;
    window.show();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(10);
    QTimer::singleShot(0, [] {
        ASSERT_TRUE(WaitUntil([] { return ShownProgress() != nullptr; }));
        ShownProgress()->findChild<QPushButton*>()->click();
    });
    int questions = 0;
    const TStoreResult result = RunInBackground(&window, QStringLiteral("store"), [&questions](const TStoreKeepGoing& keepGoing) {
        while (keepGoing()) {
            ++questions;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return srCancelled;
    });
    EXPECT_EQ(result, srCancelled);
    EXPECT_GT(questions, 0);
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(ShownProgress(), nullptr);
}

TEST(BackgroundTask, QuickWorkShowsNoDialogAndGivesItsResult)
{
    QWidget window;
    bool shown = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&shown] { shown = shown || ShownProgress() != nullptr; });
    watcher.start(1);
    EXPECT_EQ(RunInBackground(&window, QStringLiteral("store"), [](const TStoreKeepGoing&) { return srDiskFull; }),
              srDiskFull);
    EXPECT_FALSE(shown);
}

} // namespace
