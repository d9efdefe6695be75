// Entry of every test program: a private environment, then the Qt
// application object the code under test expects, then GoogleTest.

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#ifdef VELLUMO_TEST_GUI
#include <QApplication>
using TTestApplication = QApplication;
#else
#include <QCoreApplication>
using TTestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    TTestEnvironment::SetUp();
    TTestApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
