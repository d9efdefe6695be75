#include "content/CollationKey.h"
#include "content/MesgUtils.h"

#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

class CollationKeys : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()))); }
    void TearDown() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// Keys order texts exactly as the lists' locale-aware comparison does, in
// each locale: letter case, accents, punctuation, other scripts, numbers.
TEST_P(CollationKeys, OrderTextsAsTheListComparisonDoes)
{
    const QStringList texts = {QString(),
                               QStringLiteral("a"),
                               QStringLiteral("A"),
                               QStringLiteral("ab"),
                               QStringLiteral("\u00e4b"),
                               QStringLiteral("ae"),
                               QStringLiteral("z"),
                               QStringLiteral("\u00f6l"),
                               QStringLiteral("ol"),
                               QStringLiteral("co-op"),
                               QStringLiteral("coop"),
                               QStringLiteral("file10"),
                               QStringLiteral("file9"),
                               QStringLiteral("\u0416\u0443\u043a"),
                               QStringLiteral("\u0436\u0443\u043a"),
                               QStringLiteral("\u65e5\u672c"),
                               QStringLiteral("e\u0301"),   // decomposed: the same text as the next
                               QStringLiteral("\u00e9")};
    for (const QString& a : texts) {
        for (const QString& b : texts) {
            EXPECT_EQ(Sign(CollationKey(a).Compare(CollationKey(b))), CompareLocaleText(a, b))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
}

// A key made under one locale is no key under another: the identity that
// the store keeps keys under names the locale.
TEST_P(CollationKeys, TheIdentityNamesTheLocale)
{
    const QByteArray here = CollationIdentity();
    EXPECT_EQ(CollationIdentity(), here);
    QLocale::setDefault(QLocale(GetParam() == std::string("sv_SE") ? QLocale::German : QLocale::Swedish));
    EXPECT_NE(CollationIdentity(), here);
}

INSTANTIATE_TEST_SUITE_P(Locales, CollationKeys, ::testing::Values("en_US", "sv_SE", "de_DE", "ru_RU", "C"));

// Swedish puts "ä" after "z", German beside "a": the keys follow the locale
// of the moment, not the one the thread first made a key under.
TEST(CollationKeyLocale, FollowsTheLocaleWhenItChanges)
{
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_LT(CollationKey(QStringLiteral("\u00e4")).Compare(CollationKey(QStringLiteral("z"))), 0);
    QLocale::setDefault(QLocale(QLocale::Swedish));
    EXPECT_GT(CollationKey(QStringLiteral("\u00e4")).Compare(CollationKey(QStringLiteral("z"))), 0);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
