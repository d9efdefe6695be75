// Mailbox files against the reference: Python's standard "mailbox" module,
// the reader and writer that most Linux mail tools share, on messages whose
// lines end in LF. Python writes what this program writes, byte for byte,
// and each reads the other's file into the original messages.

#include "messages/MboxFormat.h"

#include "content/MesgUtils.h"
#include "fuzz/messages/MailboxRoundTrip.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// Writes <dir>/python.mbox from the files <dir>/in/<n> with Python's writer,
// and reads <dir>/ours.mbox with Python's reader into <dir>/out/<n>.
const char* const kScript = R"(
import mailbox, os, sys
root = sys.argv[1]
count = int(sys.argv[2])
box = mailbox.mbox(os.path.join(root, 'python.mbox'))
for n in range(count):
    with open(os.path.join(root, 'in', str(n)), 'rb') as f:
        box.add(f.read())
box.flush()
box.close()
os.mkdir(os.path.join(root, 'out'))
for n, key in enumerate(mailbox.mbox(os.path.join(root, 'ours.mbox'), create=False).keys()):
    with open(os.path.join(root, 'out', str(n)), 'wb') as f:
        f.write(mailbox.mbox(os.path.join(root, 'ours.mbox'), create=False).get_bytes(key))
)";

const QByteArray kSender = "sender@example.org";

double SentDays()
{
    return DateTimeToDays(QDateTime(QDate(2026, 3, 1), QTime(9, 5, 7)));
}

QByteArray Ours(const std::vector<QByteArray>& sources)
{
    return WriteMailboxBytes(sources, kSender, SentDays());
}

TEST(MailboxReference, PythonsMailboxModuleReadsAndWritesTheSameFiles)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed: the comparison with Python's mailbox module cannot run";

    // LF-only messages; none holds a line that is already quoted (">From "),
    // the one case where the two quoting rules differ by design.
    const std::vector<QByteArray> sources{
        "Subject: plain\n\nbody\n",
        "Subject: from lines\n\nfirst\n\nFrom here on\nFrom there\n",
        "Subject: trailing empty lines\n\nend\n\n\n",
        "Subject: no final line break\n\nend",
        "Subject: empty body\n\n",
        "x",
        "\n",
    };
    const QString root = TTestEnvironment::NewFolder();
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("in")));
    const QByteArray separator = MailboxSeparator(kSender, SentDays()) + '\n';
    for (size_t n = 0; n < sources.size(); ++n)
        WriteTestFile(root + QStringLiteral("/in/%1").arg(n), separator + sources[n]);
    WriteTestFile(root + QStringLiteral("/ours.mbox"), Ours(sources));

    QProcess process;
    process.start(python, {QStringLiteral("-c"), QString::fromUtf8(kScript), root, QString::number(sources.size())});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();

    // A message without a final line break gets one, in both programs.
    std::vector<QByteArray> expected;
    for (const QByteArray& source : sources)
        expected.push_back(source.isEmpty() || source.endsWith('\n') ? source : source + '\n');
    const QByteArray theirs = ReadTestFile(root + QStringLiteral("/python.mbox"));
    EXPECT_EQ(Ours(sources), theirs);
    EXPECT_EQ(ReadMailboxBytes(theirs), expected);
    // Python does not undo the quoting of "From " lines when it reads: the
    // rest of every message is what Python reads back from its own file.
    for (size_t n = 0; n < sources.size(); ++n)
        EXPECT_EQ(ReadTestFile(root + QStringLiteral("/out/%1").arg(n)), QuoteFromLines(expected[n])) << n;
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("/out/%1").arg(sources.size())));
}

} // namespace
