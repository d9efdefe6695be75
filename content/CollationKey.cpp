#include "content/CollationKey.h"

#include "content/MesgUtils.h"

#include <QLocale>

#include <unicode/ucol.h>
#include <unicode/uversion.h>

#include <memory>

namespace {

struct TCloseCollator
{
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using TCollatorHandle = std::unique_ptr<UCollator, TCloseCollator>;

// Set up as the locale-aware comparisons of the lists are (see
// CollationLocale): tertiary strength, normalised, punctuation counted.
TCollatorHandle OpenCollator(const QLocale& locale)
{
    const QByteArray name = locale.bcp47Name().toLatin1().replace('-', '_');
    UErrorCode status = U_ZERO_ERROR;
    TCollatorHandle collator(ucol_open(name.constData(), &status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(ucol_open("", &status));
    }
    if (!collator)
        return collator;
    ucol_setAttribute(collator.get(), UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator.get(), UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
    ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    return collator;
}

// The collator of the calling thread for the current locale. Collators are
// not safe to share between threads: every thread opens its own, and opens
// it again when the locale changed.
UCollator* Collator()
{
    struct TThreadCollator
    {
        QLocale Locale;
        TCollatorHandle Handle;
    };
    thread_local TThreadCollator current{CollationLocale(), OpenCollator(CollationLocale())};
    const QLocale locale = CollationLocale();
    if (locale != current.Locale)
        current = {locale, OpenCollator(locale)};
    return current.Handle.get();
}

} // namespace

int TCollationKey::Compare(const TCollationKey& other) const
{
    return FBytes.compare(other.FBytes);
}

TCollationKey CollationKey(const QString& text)
{
    UCollator* collator = Collator();
    if (!collator)
        return TCollationKey(text.toUtf8());
    const auto* units = reinterpret_cast<const UChar*>(text.constData());
    const auto length = static_cast<int32_t>(text.size());
    QByteArray bytes(16 + text.size() + text.size() / 4, Qt::Uninitialized);
    int32_t size = ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(bytes.data()),
                                   static_cast<int32_t>(bytes.size()));
    if (size > bytes.size()) {
        bytes.resize(size);
        size = ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(bytes.data()), size);
    }
    // The key ends in a zero byte, which no other byte of it is.
    bytes.truncate(std::max(size - 1, 0));
    return TCollationKey(std::move(bytes));
}

QByteArray CollationIdentity()
{
    UVersionInfo version{};
    if (UCollator* collator = Collator())
        ucol_getVersion(collator, version);
    char text[U_MAX_VERSION_STRING_LENGTH] = {};
    u_versionToString(version, text);
    return CollationLocale().bcp47Name().toLatin1() + " collation " + text;
}
