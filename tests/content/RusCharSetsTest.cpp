// Russian re-detection: a text decoded in the wrong Cyrillic code page comes
// back readable, a right one stays.

#include "settings/CodePages.h"
#include "content/RusCharSets.h"
#include "content/Utf16Funcs.h"
#include "tests/content/ContentTestSupport.h"

namespace {

const QString kSentence = U(u"Съешь же ещё этих мягких французских булок, да выпей чаю.");

// Text written in one Cyrillic charset and read in another.
QString Misread(const QString& text, const char* writtenIn, const char* readAs)
{
    const QByteArray bytes = EncodeCharsetText(text, CharsetFromName(QString::fromLatin1(writtenIn)));
    return DecodeCharsetText(bytes, CharsetFromName(QString::fromLatin1(readAs)));
}

TEST(RussianRedetect, AsciiAndEmptyTextStayUnchanged)
{
    EXPECT_EQ(RussianRedetect(QStringLiteral("Hello, world")), QStringLiteral("Hello, world"));
    EXPECT_EQ(RussianRedetect(QString()), QString());
}

TEST(RussianRedetect, RightTextStays)
{
    EXPECT_EQ(RussianRedetect(kSentence), kSentence);
}

TEST(RussianRedetect, Koi8ReadAsWindows1251ComesBack)
{
    const QString misread = Misread(kSentence, "KOI8-R", "windows-1251");
    ASSERT_NE(misread, kSentence);
    EXPECT_EQ(RussianRedetect(misread), kSentence);
}

// Read as KOI8-R, windows-1251's "ё" turns into a box-drawing character
// that code page 1251 cannot hold, so this direction is shown without it.
TEST(RussianRedetect, Windows1251ReadAsKoi8ComesBack)
{
    const QString sentence = U(u"Съешь же еще этих мягких французских булок, да выпей чаю.");
    const QString misread = Misread(sentence, "windows-1251", "KOI8-R");
    ASSERT_NE(misread, sentence);
    EXPECT_EQ(RussianRedetect(misread), sentence);
}

// Every non-ASCII text makes the round trip through code page 1251, so
// characters it cannot hold come back as "?" whichever reading wins.
TEST(RussianRedetect, CharactersOutsideWindows1251BecomeQuestionMarks)
{
    EXPECT_EQ(RussianRedetect(U(u"αβγ")), QStringLiteral("???"));
    EXPECT_EQ(RussianRedetect(U(u"Привет αβ")), U(u"Привет ??"));
}

TEST(ChooseRussianReading, HintWordOutweighsLetterStatistics)
{
    // "ОРК" alone in windows-1251 reads best as it is.
    const QByteArray ork = UnicodeToCodePage(U(u"орк"), 1251);
    EXPECT_EQ(ChooseRussianReading(ork), ork);
    // Bytes without any byte of 0x80 or above are returned as they are.
    EXPECT_EQ(ChooseRussianReading(QByteArray("plain")), QByteArray("plain"));
    EXPECT_EQ(ChooseRussianReading(QByteArray()), QByteArray());
}

// Text with no letters above 0x7F scores 0 in every reading; a score of 0
// never wins, so box-drawing bytes stay as they are.
TEST(ChooseRussianReading, ZeroScoreNeverWins)
{
    const QByteArray symbols("\x80\x81\x82");
    EXPECT_EQ(ChooseRussianReading(symbols), symbols);
}

} // namespace
