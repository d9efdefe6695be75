#include "fuzz/settings/IniRoundTrip.h"

#include "settings/IniDocument.h"
#include "settings/IniErrors.h"
#include "settings/IniStrings.h"

#include <QFile>

namespace {

// Text as a file with a byte-order mark, so that every character survives.
QByteArray Utf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

bool Load(TIniStrings& table, const QByteArray& bytes)
{
    try {
        table.LoadFromBytes(bytes);
        table.Sort();
        table.Index();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// The value a fuzz input gives: its text with the line breaks taken out.
QString LineOf(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

QString CheckLanguageFile(const QByteArray& bytes)
{
    TIniStrings table;
    if (!Load(table, bytes))
        return {};
    const QString text = table.Text();
    TIniStrings again;
    if (!Load(again, Utf16File(text)))
        return QStringLiteral("the table's own text does not load");
    if (again.Text() != text)
        return QStringLiteral("the table's text changes when it is loaded again");

    // Numbers of two digits or more: a line shorter than three characters
    // ("7=") is ignored by the format's rule.
    const QString value = LineOf(bytes);
    TIniStrings written;
    if (!Load(written, "[Fuzz]\n"))
        return QStringLiteral("a one-section file does not load");
    written.PushSection(0);
    written.PutStrings(42, value);
    TIniStrings reread;
    if (!Load(reread, Utf16File(written.Text())))
        return QStringLiteral("a table with a written entry does not load");
    try {
        if (reread.NumberedValue(0, 42) != value)
            return QStringLiteral("a written entry reads back changed");
    } catch (const Exception&) {
        return QStringLiteral("a written entry is lost");
    }
    return {};
}

QString CheckSettingsFile(const QByteArray& bytes, const QString& folder)
{
    const QString first = folder + QStringLiteral("/first.ini");
    const QString second = folder + QStringLiteral("/second.ini");
    if (!WriteFile(first, bytes))
        return QStringLiteral("cannot write %1").arg(first);
    const auto document = TIniDocument::ReadFile(first);
    if (!document->LoadError().isEmpty())
        return {};
    const QByteArray text = document->Serialize();
    if (!WriteFile(second, text))
        return QStringLiteral("cannot write %1").arg(second);
    const auto again = TIniDocument::ReadFile(second);
    if (!again->LoadError().isEmpty())
        return QStringLiteral("the document's own text does not load: ") + again->LoadError();
    if (again->Serialize() != text)
        return QStringLiteral("the document's text changes when it is read again");

    const QString value = QString::fromUtf8(bytes);
    const QString section = QStringLiteral("TaskForm\\ 0");
    const QString key = QStringLiteral("Fuzz");
    again->Write(section, key, value);
    try {
        again->Flush(false);
    } catch (const EIniFileError& error) {
        return QStringLiteral("a save failed: ") + error.Message();
    }
    const auto reread = TIniDocument::ReadFile(second);
    if (!reread->LoadError().isEmpty())
        return QStringLiteral("a saved document does not load: ") + reread->LoadError();
    if (reread->Read(section, key) != value)
        return QStringLiteral("a written value reads back changed");
    return {};
}
