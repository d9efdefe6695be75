#include "settings/AnsiText.h"
#include "settings/IniErrors.h"
#include "settings/IniStrings.h"
#include "settings/SystemCodePage.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

void Load(TIniStrings& table, const QByteArray& bytes)
{
    table.LoadFromBytes(bytes);
    table.Sort();
    table.Index();
}

QByteArray Utf16Le(const QString& text)
{
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

TEST(IniStringsTest, CodePageLineDecidesHow8BitTextReads)
{
    const QByteArray body = QByteArrayLiteral("[Program]\r\nName=\xcf\xf0\xe8\xe2\xe5\xf2\r\n");
    TIniStrings declared;
    Load(declared, ";CodePage=1251\r\n" + body);
    EXPECT_EQ(declared.CodePage(), 1251);
    EXPECT_EQ(declared.SectionValue(QStringLiteral("Program"), QStringLiteral("Name")), QStringLiteral("Привет"));

    TIniStrings undeclared;
    Load(undeclared, body);
    EXPECT_EQ(undeclared.CodePage(), 0);
    EXPECT_EQ(undeclared.SectionValue(QStringLiteral("Program"), QStringLiteral("Name")),
              DecodeSystemText(QByteArrayLiteral("\xcf\xf0\xe8\xe2\xe5\xf2")))
        << "without the line the system code page applies";

    TIniStrings blankFirst;
    Load(blankFirst, " ;CodePage=1251\r\n" + body);
    EXPECT_EQ(blankFirst.CodePage(), 0) << "the word must open the file";
}

TEST(IniStringsTest, ByteOrderMarkWinsOverTheCodePageLine)
{
    TIniStrings table;
    Load(table, Utf16Le(QStringLiteral(";CodePage=1251\r\n[Program]\r\nName=Ελληνικά\r\n")));
    EXPECT_EQ(table.CodePage(), 0);
    EXPECT_EQ(table.SectionValue(QStringLiteral("program"), QStringLiteral("NAME")), QStringLiteral("Ελληνικά"));
}

TEST(IniStringsTest, NumberedNamedAndTooShortLines)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[S]\nName=Value\n5=Five\nx=\n  ; comment\n\n10=\n"));
    table.PushSectionByName(QStringLiteral("s"));
    EXPECT_EQ(table.Count(), 3) << "the two-character line adds nothing";
    EXPECT_EQ(table.Strings(5), QStringLiteral("Five"));
    EXPECT_EQ(table.ValueOf(QStringLiteral("5")), QStringLiteral("Five"));
    EXPECT_EQ(table.IndexOfKey(QStringLiteral("5")), table.IndexOfKey(QStringLiteral("05")));
    EXPECT_EQ(table.ValueOf(QStringLiteral("NAME")), QStringLiteral("Value"));
    EXPECT_EQ(table.Strings(10), QString());
    EXPECT_EQ(table.IndexOfKey(QStringLiteral("x")), -1);
    EXPECT_EQ(table.Entry(0).EntryNumber, 5) << "numbered entries come first after sorting";
    EXPECT_EQ(table.Entry(2).EntryName, QStringLiteral("Name"));
    EXPECT_THROW((void)table.Strings(6), EStringListError);
    table.PopSection();
}

TEST(IniStringsTest, DuplicateKeysAnswerWithTheFirstInFileOrder)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[S]\nb=1\na=first\nA=second\n2=x\n2=y\n"));
    table.PushSection(0);
    EXPECT_EQ(table.ValueOf(QStringLiteral("a")), QStringLiteral("first"));
    EXPECT_EQ(table.Strings(2), QStringLiteral("x"));
    table.PopSection();
}

TEST(IniStringsTest, InvalidLinesStopTheLoadNamingTheLine)
{
    for (const char* line : {"=starts with equals", "no equals sign here"}) {
        TIniStrings table;
        try {
            table.LoadFromBytes(QByteArrayLiteral("[S]\n") + line + "\n");
            FAIL() << line;
        } catch (const EStringListError& error) {
            EXPECT_EQ(error.Message(), QStringLiteral("Invalid conversion WideString:\r\n") + QString::fromLatin1(line));
        }
    }
}

TEST(IniStringsTest, EntriesOutsideAnySectionFailIndexing)
{
    TIniStrings table;
    table.LoadFromBytes(QByteArrayLiteral("1=one\nName=value\n"));
    table.Sort();
    EXPECT_THROW(table.Index(), EStringListError);

    TIniStrings early;
    Load(early, QByteArrayLiteral("1=one\n[First]\n2=two\n"));
    EXPECT_EQ(early.NumberedValue(0, 1), QStringLiteral("one")) << "entries before the first header join section 0";
}

// Where a load puts the entries before its first header depends on the
// file alone: not on an earlier load, nor on a section the thread left pushed.
TEST(IniStringsTest, EveryLoadStartsInTheFilesFirstSection)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[One]\n1=a\n[Two]\n1=b\n"));
    Load(table, QByteArrayLiteral("1=early\n[First]\n2=two\n"));
    EXPECT_EQ(table.NumberedValue(0, 1), QStringLiteral("early"));
    EXPECT_EQ(table.CurrentSection(), 0) << "the loading thread is left in the file's last section";

    table.PushSectionByName(QStringLiteral("Absent"));
    EXPECT_NO_THROW(Load(table, QByteArrayLiteral("1=again\n[Only]\n")));
    EXPECT_EQ(table.NumberedValue(0, 1), QStringLiteral("again"));
}

TEST(IniStringsTest, SectionNamesKeepInnerBlanksButIgnoreCase)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[Menu]\na=1\n[ Menu ]\nb=2\n[MENU]\nc=3\n"));
    EXPECT_EQ(table.SectionCount(), 2);
    EXPECT_EQ(table.SectionValue(QStringLiteral("menu"), QStringLiteral("c")), QStringLiteral("3"));
    EXPECT_EQ(table.SectionValue(QStringLiteral(" Menu "), QStringLiteral("b")), QStringLiteral("2"));
    EXPECT_EQ(table.SectionValue(QStringLiteral("Menu"), QStringLiteral("b")), QString());
}

TEST(IniStringsTest, MissingSectionAnswersEmptyNamesAndRaisesForNumbers)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[S]\n1=one\nName=v\n"));
    table.PushSectionByName(QStringLiteral("Absent"));
    EXPECT_EQ(table.CurrentSection(), -1);
    EXPECT_EQ(table.ValueOf(QStringLiteral("Name")), QString());
    try {
        (void)table.Strings(1);
        FAIL();
    } catch (const EStringListError& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("List index out of bounds (-1)"));
    }
    table.PopSection();
    EXPECT_EQ(table.CurrentSection(), 0);
}

TEST(IniStringsTest, DeepStacksStayBalanced)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[A]\n1=a\n[B]\n1=b\n"));
    const int before = table.CurrentSection();
    for (int i = 0; i < 100; ++i)
        table.PushSection(i % 2);
    for (int i = 0; i < 99; ++i)
        table.PopSection();
    EXPECT_EQ(table.Strings(1), QStringLiteral("a"));
    table.PopSection();
    table.PopSection(); // nothing at depth 0
    EXPECT_EQ(table.CurrentSection(), before);
}

TEST(IniStringsTest, ThreadsKeepTheirOwnSections)
{
    TIniStrings table;
    QByteArray text;
    for (const char* section : {"[First]\n", "[Second]\n"}) {
        text += section;
        for (int n = 0; n < 50; ++n)
            text += QByteArray::number(n) + '=' + QByteArray(section).mid(1, 3) + QByteArray::number(n) + '\n';
    }
    Load(table, text);
    std::atomic<int> failures{0};
    const auto worker = [&](const QString& section, const QString& prefix) {
        for (int round = 0; round < 2000; ++round) {
            table.PushSectionByName(section);
            const int n = round % 50;
            if (table.Strings(n) != prefix + QString::number(n) || table.ValueOf(QString::number(n)) != prefix + QString::number(n))
                ++failures;
            table.PopSection();
        }
    };
    std::thread first(worker, QStringLiteral("First"), QStringLiteral("Fir"));
    std::thread second(worker, QStringLiteral("Second"), QStringLiteral("Sec"));
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(IniStringsTest, EditsKeepTheTableSearchable)
{
    TIniStrings table;
    Load(table, QByteArrayLiteral("[A]\n2=two\nKey=k\n[B]\n1=b1\n"));
    table.PushSection(0);
    table.PutStrings(1, QStringLiteral("one"));
    table.PutStrings(2, QStringLiteral("TWO"));
    EXPECT_EQ(table.Strings(1), QStringLiteral("one"));
    EXPECT_EQ(table.Strings(2), QStringLiteral("TWO"));
    table.Delete(1);
    EXPECT_THROW(table.Delete(1), EStringListError);
    EXPECT_EQ(table.NumberedValue(1, 1), QStringLiteral("b1"));
    EXPECT_EQ(table.IndexOfText(QStringLiteral("B1")), 2);
    EXPECT_THROW(table.Exchange(0, 3), EStringListError);
    table.PopSection();
    EXPECT_EQ(table.Text(), QStringLiteral("[A]\n2=TWO\nKey=k\n\n[B]\n1=b1\n\n"));
}

TEST(IniStringsTest, AssignCopiesAndTakeOverMoves)
{
    TIniStrings source;
    Load(source, QByteArrayLiteral("[A]\n1=a\n"));
    TIniStrings copy;
    copy.Assign(source);
    EXPECT_EQ(copy.NumberedValue(0, 1), QStringLiteral("a"));
    EXPECT_EQ(source.Count(), 1);

    TIniStrings target;
    target.TakeOver(source);
    EXPECT_EQ(target.NumberedValue(0, 1), QStringLiteral("a"));
    EXPECT_EQ(source.Count(), 0);
    EXPECT_EQ(source.SectionCount(), 0);
}

TEST(IniStringsTest, LoadsFromAStream)
{
    QByteArray bytes = QByteArrayLiteral("[S]\r\nA=1\rB=2\n");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TIniStrings table;
    table.LoadFromStream(buffer);
    table.Sort();
    table.Index();
    EXPECT_EQ(table.SectionValue(QStringLiteral("S"), QStringLiteral("B")), QStringLiteral("2"));
}

TEST(IniStringsTest, AnyBytesLoadOrFailCleanly)
{
    const QByteArray seed = QByteArrayLiteral(";CodePage=1251\r\n[Menu]\r\nmFile=\xd4\xe0\xe9\xeb\r\n5=x\r\n");
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes = round % 2 ? seed : QByteArray();
        const int extra = QRandomGenerator::global()->bounded(64);
        for (int i = 0; i < extra; ++i)
            bytes.insert(QRandomGenerator::global()->bounded(static_cast<int>(bytes.size()) + 1),
                         static_cast<char>(QRandomGenerator::global()->bounded(256)));
        TIniStrings table;
        try {
            Load(table, bytes);
            (void)table.Text();
            table.PushSectionByName(QStringLiteral("Menu"));
            (void)table.ValueOf(QStringLiteral("mFile"));
            table.PopSection();
        } catch (const EStringListError&) {
            // A bad line or an entry outside any section: reported, nothing else.
        }
    }
}
