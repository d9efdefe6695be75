#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The whole of one ini file in memory. Sections keep their file order and
// their names exactly ("TaskForm\ 0" keeps its blank); the unnamed section
// "" holds the values written before the first header. Section and key
// names compare case-insensitively.
//
// One document exists per file and run (`Open`), shared by every store
// over that file, so that the options pass, the history and the top values
// never overwrite each other's changes. The file is read once and written
// whole and atomically by `Flush`: a crash while saving leaves the previous
// file intact.
//
// Text form: UTF-8, "[name]" headers, "key=value" lines, ";" or "#" comment
// lines. Comments, and lines that are no settings (typed by hand), are kept
// where they stand and written back as they were. A value keeps every character after the first "=", in the form of
// IniValueText.h.
class TIniDocument
{
public:
    // The shared document of `path`, read from the file on first use. A file
    // that cannot be read or parsed gives an empty document with a load error.
    [[nodiscard]] static std::shared_ptr<TIniDocument> Open(const QString& path);
    // A document read from the file now, not shared with anyone.
    [[nodiscard]] static std::shared_ptr<TIniDocument> ReadFile(const QString& path);

    [[nodiscard]] const QString& Path() const { return FPath; }

    [[nodiscard]] std::optional<QString> Read(const QString& section, const QString& key) const;
    void Write(const QString& section, const QString& key, const QString& value);
    void DeleteKey(const QString& section, const QString& key);
    // Removes the section and every section below it ("History" takes
    // "History\Old" with it).
    void EraseSection(const QString& section);
    [[nodiscard]] bool SectionExists(const QString& section) const;
    [[nodiscard]] QStringList SectionNames() const;
    [[nodiscard]] QStringList KeyNames(const QString& section) const;

    // Writes the document when it changed since the last flush. A document
    // whose file could not be read or decoded replaces that file only when
    // `replaceBroken` is set (a save the user's session asked for), and then
    // keeps a copy of the old file first, as "<name>.<time stamp>.bad",
    // beside any earlier copy. Raises EIniFileError when the file cannot be
    // written.
    void Flush(bool replaceBroken);
    // The reason the file could not be read or decoded; empty when it loaded.
    [[nodiscard]] QString LoadError() const;
    // Once per document, for a single report: the load error, else which
    // lines were skipped because they are no settings; empty after.
    [[nodiscard]] QString TakeLoadError();

    // The file text the document would write.
    [[nodiscard]] QByteArray Serialize() const;

    explicit TIniDocument(QString path);

private:
    struct TEntry
    {
        QString Key;
        QString Value;
        // A comment or a line that is no setting, written back as it was
        // (the line is the value).
        bool Kept = false;

        [[nodiscard]] static TEntry KeptLine(QStringView line) { return {QString(), line.toString(), true}; }
        [[nodiscard]] bool Is(const QString& key) const
        {
            return !Kept && Key.compare(key, Qt::CaseInsensitive) == 0;
        }
    };
    struct TSection
    {
        QString Name;
        std::vector<TEntry> Entries;
    };

    void Load();
    // The parse of file bytes; raises EIniFileError for bytes that are no
    // UTF-8 text. Lines that are no settings are kept and listed.
    void Parse(const QByteArray& bytes);
    [[nodiscard]] QByteArray SerializeLocked() const;
    void WriteFile();
    void KeepBrokenCopy() const;
    [[nodiscard]] const TSection* FindSection(const QString& name) const;
    TSection& SectionFor(const QString& name);

    QString FPath;
    mutable std::mutex FMutex;
    std::vector<TSection> FSections;
    QString FLoadError;
    QStringList FStrayLines;   // "line <n> (<text>)" of every line skipped
    bool FLoadErrorReported = false;
    bool FDirty = false;
};
