// Every input that ever crashed or hung a fuzz target, fed again to the
// functions the targets drive. The inputs live in tests/data/content-crashes
// (one file each); rows below name inline cases found by hand.

#include "content/IdCoderHeader.h"
#include "content/WideIdEMailAddress.h"
#include "tests/content/ContentTestSupport.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>

namespace {

void Feed(const QByteArray& input)
{
    for (CharsetId charset : {CharsetId(0), CharsetFromName(QStringLiteral("UTF-8")),
                              CharsetFromName(QStringLiteral("ISO-2022-JP"))}) {
        const QString decoded = DecodeHeaderField(input, charset);
        TWideIdEMailAddressList list;
        list.SetAddressListText(decoded);
        for (int i = 0; i < list.Count(); ++i)
            (void)list.Item(i).AddressText();
    }
    (void)DecodeEncodedWordsAnsi(input);
    (void)EncodeHeaderText(input, AddressSpecials(), 'Q', THeaderTransfer::Iso2022Jp, "ISO-2022-JP");
}

class MustNotCrash : public TContentTest
{
};

TEST_F(MustNotCrash, HandMadeHostileInputs)
{
    const QByteArray inputs[] = {
        QByteArray("=?"),
        QByteArray("=?=?=?=?=?=?=?=?"),
        QByteArray("=?utf-8?Q?=?="),
        QByteArray("=?utf-8?B?====?="),
        QByteArray("=?utf-8?\x00?a?=", 14),
        QByteArray("=?ISO-2022-JP?B?Gw==?="),
        QByteArray("=?ISO-2022-JP?Q?=1B$B=1B?="),
        QByteArray("((((((((((((((((((((((((((((((("),
        QByteArray("\"\\"),
        QByteArray("a@b\\"),
        QByteArray("<<<>>>@@@...\"\"\"((()))\\\\"),
        QByteArray(":;:;:;,,,;;"),
        QByteArray(100000, '('),
        QByteArray(20000, '=') + QByteArray(20000, '?'),
        // Once quadratic in the word scan: many "=?" with no closing "?=",
        // and many tiny words each replaced in place.
        QByteArray("=?a").repeated(300000),
        QByteArray("=?=?=?=?=?").repeated(100000),
        QByteArray("=?utf-8?Q?a?= ").repeated(50000),
    };
    for (const QByteArray& input : inputs)
        Feed(input);
}

TEST_F(MustNotCrash, SavedFuzzerFindings)
{
    const QDir dir(FixturePath(QStringLiteral("content-crashes")));
    for (const QString& name : dir.entryList(QDir::Files)) {
        if (name == QLatin1String("README.md"))
            continue;
        SCOPED_TRACE(name.toStdString());
        Feed(ReadFixture(QStringLiteral("content-crashes/") + name));
    }
}

} // namespace
