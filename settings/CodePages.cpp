#include "settings/CodePages.h"

#include <QSysInfo>

#include <array>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr const char* kUtf16Name = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

// The iconv name that implements each code page.
const char* IconvName(unsigned codePage)
{
    switch (codePage) {
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 20932: return "EUC-JP";
    case 50220: return "ISO-2022-JP";
    // ISO-2022-JP with the extensions of its -2 and -3 editions, so that
    // text labelled with those names reads completely.
    case 50221: return "ISO-2022-JP-2";
    case 50222: return "ISO-2022-JP-3";
    case 50225: return "ISO-2022-KR";
    case 50930: return "IBM930";
    case 51932: return "EUC-JP-MS";
    case 51949: return "EUC-KR";
    case 65000: return "UTF-7";
    // Further pages that files of the system (language files, samples) may declare.
    case 65001: return "UTF-8";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 54936: return "GB18030";
    case 10000: return "MACINTOSH";
    case 10007: return "MACCYRILLIC";
    default: break;
    }
    static const std::array<const char*, 16> isoNames{
        "ISO-8859-1", "ISO-8859-2", "ISO-8859-3", "ISO-8859-4", "ISO-8859-5", "ISO-8859-6",
        "ISO-8859-7", "ISO-8859-8", "ISO-8859-9", "ISO-8859-10", "ISO-8859-11", nullptr,
        "ISO-8859-13", "ISO-8859-14", "ISO-8859-15", "ISO-8859-16"};
    if (codePage >= 28591 && codePage <= 28606)
        return isoNames[codePage - 28591];
    return nullptr;
}

bool IsSingleBytePage(unsigned codePage)
{
    return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

// One iconv descriptor, closed with its owner.
class TIconv
{
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from)) {}
    ~TIconv()
    {
        if (Valid())
            iconv_close(FHandle);
    }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    [[nodiscard]] bool Valid() const { return FHandle != reinterpret_cast<iconv_t>(-1); }
    [[nodiscard]] iconv_t Handle() const { return FHandle; }

    // Returns the descriptor to its initial shift state.
    void Reset() { iconv(FHandle, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t FHandle;
};

// Descriptors keep conversion state, so each thread has its own, opened on
// first use and kept for the thread's life.
TIconv* ThreadConverter(unsigned codePage, bool toUnicode)
{
    thread_local std::map<std::pair<unsigned, bool>, std::unique_ptr<TIconv>> cache;
    auto& slot = cache[{codePage, toUnicode}];
    if (!slot) {
        const char* name = IconvName(codePage);
        if (name == nullptr)
            return nullptr;
        slot = toUnicode ? std::make_unique<TIconv>(kUtf16Name, name) : std::make_unique<TIconv>(name, kUtf16Name);
    }
    return slot->Valid() ? slot.get() : nullptr;
}

// Runs one iconv step over the remaining input into a growing output
// buffer. Returns 0 when the input is used up, else errno of the stop
// (EILSEQ or EINVAL).
int Convert(TIconv& cd, const char*& in, std::size_t& inLeft, std::vector<char>& out, std::size_t& used)
{
    for (;;) {
        if (out.size() - used < 16)
            out.resize(out.size() * 2 + 32);
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        char* inPtr = const_cast<char*>(in);
        const std::size_t rc = in != nullptr ? iconv(cd.Handle(), &inPtr, &inLeft, &outPtr, &outLeft)
                                             : iconv(cd.Handle(), nullptr, nullptr, &outPtr, &outLeft);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        used = static_cast<std::size_t>(outPtr - out.data());
        if (in != nullptr)
            in = inPtr;
        if (error != E2BIG)
            return error;
    }
}

void AppendUnit(std::vector<char>& out, std::size_t& used, char16_t unit)
{
    if (out.size() - used < sizeof unit)
        out.resize(out.size() * 2 + 32);
    std::memcpy(out.data() + used, &unit, sizeof unit);
    used += sizeof unit;
}

QString IconvDecode(TIconv& cd, QByteArrayView bytes)
{
    cd.Reset();
    std::vector<char> out(static_cast<std::size_t>(bytes.size()) * 2 + 32);
    std::size_t used = 0;
    const char* in = bytes.data();
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    while (inLeft > 0) {
        const int error = Convert(cd, in, inLeft, out, used);
        if (error == 0)
            break;
        // An ill-formed byte becomes U+FFFD and decoding goes on after it; a
        // sequence cut short at the end becomes one U+FFFD.
        AppendUnit(out, used, kReplacement);
        if (error != EILSEQ)
            break;
        ++in;
        --inLeft;
    }
    const char* flush = nullptr;
    std::size_t none = 0;
    Convert(cd, flush, none, out, used);
    return QString(reinterpret_cast<const QChar*>(out.data()), static_cast<qsizetype>(used / 2));
}

QByteArray IconvEncode(TIconv& cd, QStringView text)
{
    cd.Reset();
    std::vector<char> out(static_cast<std::size_t>(text.size()) * 2 + 32);
    std::size_t used = 0;
    const char* in = reinterpret_cast<const char*>(text.utf16());
    std::size_t inLeft = static_cast<std::size_t>(text.size()) * 2;
    static const char16_t question = u'?';
    while (inLeft > 0) {
        const int error = Convert(cd, in, inLeft, out, used);
        if (error == 0)
            break;
        // A character the page lacks becomes "?", written through the same
        // descriptor so that a stateful page leaves its shifted mode first.
        const char* q = reinterpret_cast<const char*>(&question);
        std::size_t qLeft = sizeof question;
        Convert(cd, q, qLeft, out, used);
        if (error != EILSEQ)
            break;
        const auto* unit = reinterpret_cast<const char16_t*>(in);
        const std::size_t skip = inLeft >= 4 && QChar::isHighSurrogate(unit[0]) && QChar::isLowSurrogate(unit[1]) ? 4 : 2;
        in += std::min(skip, inLeft);
        inLeft -= std::min(skip, inLeft);
    }
    const char* flush = nullptr;
    std::size_t none = 0;
    Convert(cd, flush, none, out, used);
    return QByteArray(out.data(), static_cast<qsizetype>(used));
}

// A single-byte page expanded into a decoding table and its inverse.
class TSingleBytePage
{
public:
    explicit TSingleBytePage(unsigned codePage)
    {
        TIconv cd(kUtf16Name, IconvName(codePage));
        FValid = cd.Valid();
        FEncode.fill(-1);
        for (unsigned b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            char16_t unit = b >= 0x80 && b <= 0x9F ? char16_t(b) : kReplacement;
            if (FValid) {
                const QString s = IconvDecode(cd, QByteArrayView(&byte, 1));
                if (s.size() == 1 && s[0] != QChar(kReplacement))
                    unit = s[0].unicode();
            }
            FDecode[b] = unit;
            if (unit != kReplacement && FEncode[unit] < 0)
                FEncode[unit] = static_cast<short>(b);
        }
    }

    [[nodiscard]] bool Valid() const { return FValid; }

    [[nodiscard]] QString Decode(QByteArrayView bytes) const
    {
        QString result(bytes.size(), Qt::Uninitialized);
        char16_t* out = reinterpret_cast<char16_t*>(result.data());
        for (char c : bytes)
            *out++ = FDecode[static_cast<unsigned char>(c)];
        return result;
    }

    [[nodiscard]] QByteArray Encode(QStringView text) const
    {
        QByteArray result(text.size(), Qt::Uninitialized);
        char* out = result.data();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            const short b = FEncode[unit];
            *out++ = b >= 0 ? static_cast<char>(b) : '?';
            // A surrogate pair is one character and gets one "?".
            if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
        }
        result.truncate(out - result.data());
        return result;
    }

private:
    std::array<char16_t, 256> FDecode{};
    std::array<short, 65536> FEncode{};
    bool FValid = false;
};

const TSingleBytePage* SingleBytePage(unsigned codePage)
{
    static std::mutex mutex;
    static std::map<unsigned, std::unique_ptr<TSingleBytePage>> pages;
    std::lock_guard lock(mutex);
    auto& page = pages[codePage];
    if (!page)
        page = std::make_unique<TSingleBytePage>(codePage);
    return page->Valid() ? page.get() : nullptr;
}

} // namespace

bool CodePageAvailable(unsigned codePage)
{
    if (IsSingleBytePage(codePage))
        return SingleBytePage(codePage) != nullptr;
    return ThreadConverter(codePage, true) != nullptr;
}

QString CodePageToUnicode(QByteArrayView bytes, unsigned codePage)
{
    if (bytes.isEmpty())
        return {};
    if (IsSingleBytePage(codePage)) {
        if (const TSingleBytePage* page = SingleBytePage(codePage))
            return page->Decode(bytes);
    } else if (TIconv* cd = ThreadConverter(codePage, true)) {
        return IconvDecode(*cd, bytes);
    }
    return QString::fromLatin1(bytes);
}

QByteArray UnicodeToCodePage(QStringView text, unsigned codePage)
{
    if (text.isEmpty())
        return {};
    if (IsSingleBytePage(codePage)) {
        if (const TSingleBytePage* page = SingleBytePage(codePage))
            return page->Encode(text);
    } else if (TIconv* cd = ThreadConverter(codePage, false)) {
        return IconvEncode(*cd, text);
    }
    return text.toLatin1();
}
