#include "app/Activation.h"
#include "app/SingleInstance.h"

#include "tests/support/TestEnvironment.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(Activation, OnlyTheOwnTokenWithAnActiveFormIsActedOn)
{
    QWidget form;
    form.hide();
    EXPECT_FALSE(HandleActivationRequest(7, 8, &form));   // foreign token
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(HandleActivationRequest(7, 7, nullptr)); // no active form
    EXPECT_TRUE(HandleActivationRequest(7, 7, &form));
    EXPECT_TRUE(form.isVisible());
}

TEST(Activation, TheSecondGuardSendsTheSharedTokenToTheFirst)
{
    TSingleInstance first(QStringLiteral("ActivationTestMutex"));
    ASSERT_TRUE(first.IsFirstInstance());
    std::vector<quint64> received;
    first.OnActivationRequest = [&](quint64 token) { received.push_back(token); };

    TSingleInstance second(QStringLiteral("ActivationTestMutex"));
    EXPECT_FALSE(second.IsFirstInstance());
    EXPECT_EQ(second.Token(), first.Token());
    ASSERT_TRUE(second.RequestActivation());
    ASSERT_TRUE(WaitUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<quint64>{first.Token()});

    TSingleInstance other(QStringLiteral("OtherMutex"));
    EXPECT_NE(other.Token(), first.Token());
}
