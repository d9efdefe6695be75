#include "content/MimeCoders.h"

#include <QByteArrayView>

#include <array>

namespace {

constexpr char kXxeAlphabet[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr char kBinHexAlphabet[] = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
constexpr QByteArrayView kBinHexMarker = "(This file must be converted with BinHex";

// Index tables of the two 64-character alphabets; -1 outside them.
struct TAlphabet
{
    std::array<signed char, 256> Index{};
    explicit TAlphabet(const char* letters)
    {
        Index.fill(-1);
        for (int i = 0; i < 64; ++i)
            Index[static_cast<unsigned char>(letters[i])] = static_cast<signed char>(i);
    }
};

const TAlphabet& XxeAlphabet()
{
    static const TAlphabet alphabet(kXxeAlphabet);
    return alphabet;
}

const TAlphabet& BinHexAlphabet()
{
    static const TAlphabet alphabet(kBinHexAlphabet);
    return alphabet;
}

int SixBits(char c, TLineCoder coder)
{
    if (coder == TLineCoder::Uue)
        return (static_cast<unsigned char>(c) - 0x20) & 0x3F;
    const int index = XxeAlphabet().Index[static_cast<unsigned char>(c)];
    return index < 0 ? 0 : index;
}

// The lines of a text, each with its terminator (CR LF, LF or a lone CR).
std::vector<QByteArrayView> SplitLines(QByteArrayView text)
{
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines.push_back(text.sliced(start, i + 1 - start));
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.sliced(start));
    return lines;
}

QByteArrayView Chomp(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

// "begin <octal mode> <name>": the name, or false for any other line.
bool IsBeginLine(QByteArrayView line, QByteArray& name)
{
    line = Chomp(line);
    if (!line.startsWith("begin "))
        return false;
    qsizetype i = 6;
    const qsizetype modeStart = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '7')
        ++i;
    if (i - modeStart < 3 || i - modeStart > 4 || i >= line.size() || line[i] != ' ')
        return false;
    name = line.sliced(i + 1).trimmed().toByteArray();
    return true;
}

bool IsEndLine(QByteArrayView line)
{
    return Chomp(line).trimmed() == "end";
}

// The encoded length a data line should have under a coder, for telling
// uuencode from XXencode by a block's first line.
bool FitsCoder(QByteArrayView line, TLineCoder coder)
{
    if (line.isEmpty())
        return false;
    if (coder == TLineCoder::Xxe && XxeAlphabet().Index[static_cast<unsigned char>(line[0])] < 0)
        return false;
    const int count = SixBits(line[0], coder);
    const qsizetype expected = 1 + (count + 2) / 3 * 4;
    return line.size() >= expected && line.size() <= expected + 2;
}

TLineCoder CoderOfBlock(QByteArrayView firstLine)
{
    firstLine = Chomp(firstLine);
    return FitsCoder(firstLine, TLineCoder::Xxe) && !FitsCoder(firstLine, TLineCoder::Uue) ? TLineCoder::Xxe
                                                                                           : TLineCoder::Uue;
}

// Decodes the data lines of a block from `first`; returns the index after
// the "end" line (or the last line).
std::size_t DecodeBlockLines(const std::vector<QByteArrayView>& lines, std::size_t first, QByteArray& data)
{
    const TLineCoder coder = first < lines.size() ? CoderOfBlock(lines[first]) : TLineCoder::Uue;
    std::size_t i = first;
    for (; i < lines.size(); ++i) {
        if (IsEndLine(lines[i]))
            return i + 1;
        data += DecodeCodedLine(Chomp(lines[i]), coder);
    }
    return i;
}

// True when a line starts with "begin " and a digit, or the BinHex marker
// occurs: the only texts that can hold an embedded file.
bool MayHoldBlock(QByteArrayView body)
{
    constexpr QByteArrayView begin = "begin ";
    for (qsizetype at = body.indexOf(begin); at >= 0; at = body.indexOf(begin, at + 1)) {
        const bool lineStart = at == 0 || body[at - 1] == '\n' || body[at - 1] == '\r';
        const qsizetype digit = at + begin.size();
        if (lineStart && digit < body.size() && body[digit] >= '0' && body[digit] <= '7')
            return true;
    }
    return body.contains(kBinHexMarker);
}

quint32 BigEndian(QByteArrayView bytes, qsizetype at, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The BinHex bytes between the colons: six bits per character, then the
// run-length expansion (0x90 n repeats the previous byte; 0x90 0 is 0x90).
QByteArray BinHexBytes(QByteArrayView text, qsizetype from)
{
    QByteArray packed;
    quint32 bits = 0;
    int bitCount = 0;
    for (qsizetype i = from; i < text.size() && text[i] != ':'; ++i) {
        const int value = BinHexAlphabet().Index[static_cast<unsigned char>(text[i])];
        if (value < 0)
            continue;   // line breaks and blanks
        bits = (bits << 6) | static_cast<quint32>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            packed.append(static_cast<char>((bits >> bitCount) & 0xFF));
        }
    }
    QByteArray bytes;
    bytes.reserve(packed.size());
    for (qsizetype i = 0; i < packed.size(); ++i) {
        const auto byte = static_cast<unsigned char>(packed[i]);
        if (byte != 0x90 || i + 1 >= packed.size()) {
            bytes.append(static_cast<char>(byte));
            continue;
        }
        const auto count = static_cast<unsigned char>(packed[++i]);
        if (count == 0)
            bytes.append(static_cast<char>(0x90));
        else if (!bytes.isEmpty())
            bytes.append(QByteArray(count - 1, bytes.back()));
    }
    return bytes;
}

} // namespace

QByteArray DecodeCodedLine(QByteArrayView line, TLineCoder coder)
{
    if (line.isEmpty())
        return {};
    const int count = SixBits(line[0], coder);
    QByteArray bytes;
    bytes.reserve(count);
    for (qsizetype i = 1; bytes.size() < count && i < line.size(); i += 4) {
        int group[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4 && i + k < line.size(); ++k)
            group[k] = SixBits(line[i + k], coder);
        const char triple[3] = {static_cast<char>(group[0] << 2 | group[1] >> 4),
                                static_cast<char>((group[1] & 0xF) << 4 | group[2] >> 2),
                                static_cast<char>((group[2] & 0x3) << 6 | group[3])};
        bytes.append(triple, std::min<qsizetype>(3, count - bytes.size()));
    }
    return bytes;
}

bool DecodeBinHex(QByteArrayView text, TEmbeddedFile& file)
{
    const qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return false;
    const QByteArray bytes = BinHexBytes(text, colon + 1);
    // Header: name length, name, version 0, type, creator, flags (2),
    // data length (4), resource length (4), header CRC (2).
    if (bytes.isEmpty())
        return false;
    const int nameLength = static_cast<unsigned char>(bytes[0]);
    const qsizetype headerEnd = 1 + nameLength + 1 + 4 + 4 + 2 + 4 + 4 + 2;
    if (bytes.size() < headerEnd)
        return false;
    file.Name = bytes.mid(1, nameLength);
    const quint32 dataLength = BigEndian(bytes, 1 + nameLength + 11, 4);
    const auto available = static_cast<quint64>(bytes.size());
    file.Data = bytes.mid(headerEnd, static_cast<qsizetype>(std::min<quint64>(dataLength, available)));
    return true;
}

bool DecodeCodedBlock(QByteArrayView text, TEmbeddedFile& file)
{
    const std::vector<QByteArrayView> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsBeginLine(lines[i], file.Name))
            continue;
        file.Data.clear();
        DecodeBlockLines(lines, i + 1, file.Data);
        return true;
    }
    return false;
}

TEmbeddedScan ExtractEmbeddedFiles(const QByteArray& body)
{
    TEmbeddedScan scan;
    // Nearly every body holds no block: a search for the two starts keeps them cheap.
    if (!MayHoldBlock(body)) {
        scan.Text = body;
        return scan;
    }
    const std::vector<QByteArrayView> lines = SplitLines(body);
    for (std::size_t i = 0; i < lines.size();) {
        TEmbeddedFile file;
        if (IsBeginLine(lines[i], file.Name)) {
            i = DecodeBlockLines(lines, i + 1, file.Data);
            scan.Files.push_back(std::move(file));
            continue;
        }
        if (lines[i].contains(kBinHexMarker)) {
            // The block runs from the marker line to the line holding its closing colon.
            std::size_t last = i + 1;
            int colons = 0;
            for (; last < lines.size(); ++last) {
                colons += static_cast<int>(lines[last].count(':'));
                if (colons >= 2)
                    break;
            }
            const qsizetype start = lines[i].data() - body.constData();
            const qsizetype end = last < lines.size() ? lines[last].data() + lines[last].size() - body.constData()
                                                      : body.size();
            const qsizetype dataStart = start + lines[i].size();
            if (DecodeBinHex(QByteArrayView(body).sliced(dataStart, end - dataStart), file)) {
                scan.Files.push_back(std::move(file));
                i = std::min(last + 1, lines.size());
                continue;
            }
        }
        scan.Text.append(lines[i]);
        ++i;
    }
    return scan;
}
