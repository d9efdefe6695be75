#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <shared_mutex>
#include <utility>
#include <vector>

class QIODevice;

// One entry of a string table.
struct TIniItem
{
    QString EntryValue;  // the text after the first "="
    QString EntryName;   // the key of a named entry; empty for a numbered one
    int EntryNumber = -1; // the key of a numbered entry; -1 for a named one
    int EntrySection = 0; // index of the entry's section
};

struct TIniSection
{
    QString SectionName;
    int FirstEntry = 0;
    int NumberedCount = 0;
    int EntryCount = 0;
};

// The whole text of an ini-style file in memory as Unicode, answering
// lookups by section and key with binary searches. Files may be UTF-16 or
// UTF-8 with a byte-order mark, or 8-bit text in the code page named by a
// first line ";CodePage=<number>" (else the system code page). Keys are
// numbers or names; after loading, `Sort` and `Index` place each section's
// numbered entries first, ascending, then its named entries by name
// (letter case ignored).
//
// Every thread has its own current section (a small stack), so that a
// background thread can look texts up while the main thread is inside
// another section. Lookups may come from any thread; loading and replacing
// the content take the table's write lock.
class TIniStrings
{
public:
    TIniStrings();
    virtual ~TIniStrings();
    TIniStrings(const TIniStrings&) = delete;
    TIniStrings& operator=(const TIniStrings&) = delete;

    // The calling thread's current section.
    void PushSection(int section);
    // Pushes the section of that name (letter case ignored), -1 when none.
    void PushSectionByName(const QString& name);
    // Nothing at depth 0.
    void PopSection();
    [[nodiscard]] int CurrentSection() const;
    void SetCurrentSection(int section);

    [[nodiscard]] int SectionIndexOf(const QString& name) const;
    [[nodiscard]] int SectionCount() const;
    [[nodiscard]] QString SectionName(int section) const;

    // In the current section: the numbered entry when the key is a decimal
    // number of 0 or more, else the named entry; -1 when absent.
    [[nodiscard]] int IndexOfKey(const QString& key) const;
    // The value of IndexOfKey, empty when absent.
    [[nodiscard]] QString ValueOf(const QString& key) const;
    // ValueOf inside the named section.
    [[nodiscard]] QString SectionValue(const QString& section, const QString& key);
    // The numbered entry of a section; raises "List index out of bounds (%d)".
    [[nodiscard]] QString NumberedValue(int section, int number) const;
    // The named entry of a section; empty when the section or key is absent.
    [[nodiscard]] QString NamedValue(int section, const QString& name) const;
    // The named entries of a section in table order, as (key, value).
    [[nodiscard]] std::vector<std::pair<QString, QString>> NamedEntries(int section) const;

    // The numbered entry of the current section; raises the list error when absent.
    [[nodiscard]] QString Strings(int number) const;
    // Replaces that entry's value, or adds the entry to the current section.
    void PutStrings(int number, const QString& text);
    // Removes that numbered entry of the current section; raises the list error when absent.
    void Delete(int number);

    // Entries of all sections.
    [[nodiscard]] int Count() const;
    [[nodiscard]] TIniItem Entry(int position) const;
    // The first entry of any section whose value equals the text (letter case ignored); -1 if none.
    [[nodiscard]] int IndexOfText(const QString& text) const;
    // Raise the list error for a position outside [0, Count()).
    void Exchange(int first, int second);
    void Move(int from, int to);

    // Parses one line of ini text into the current section. Returns the
    // number of a numbered entry, the position of a named one, or -1.
    // Raises "Invalid conversion WideString:\r\n%s" for a line that is
    // neither blank, comment, header nor key line.
    int AddLine(const QString& line);
    // Decode and parse; the table is cleared first. Not sorted yet.
    void LoadFromBytes(const QByteArray& bytes);
    void LoadFromStream(QIODevice& device);
    // Raises EIniFileError when the file cannot be read.
    void LoadFromFile(const QString& path);
    // The code page named by the last 8-bit file loaded, else 0.
    [[nodiscard]] int CodePage() const;

    // The table as ini text.
    [[nodiscard]] QString Text() const;

    // Copies the other table; the current section becomes 0.
    void Assign(const TIniStrings& other);
    // Moves the other table's content here, leaving it empty.
    void TakeOver(TIniStrings& other);
    void Sort();
    // Records each section's range; raises the list error for entries of a
    // section that does not exist (a file without any header).
    void Index();
    void Clear();

protected:
    // Sections a descendant names by their place in `names`. Their indices
    // are found again, under the table's lock, whenever the sections change,
    // so that a lookup through them never pairs an index found in one file
    // with the content of another.
    void SetKnownSections(QStringList names);
    // The index of a known section, -1 when the content lacks it.
    [[nodiscard]] int KnownSectionIndex(int known) const;
    // The numbered entry of a known section, or of the calling thread's
    // current section when the content lacks it; raises the list error.
    [[nodiscard]] QString KnownNumberedValue(int known, int number) const;
    // The named entry of a known section; empty when absent.
    [[nodiscard]] QString KnownNamedValue(int known, const QString& name) const;

private:
    [[nodiscard]] std::vector<int>& Stack() const;
    void FindKnownSectionsLocked();
    [[nodiscard]] QString NumberedValueLocked(int section, int number) const;
    [[nodiscard]] QString NamedValueLocked(int section, const QString& name) const;
    [[nodiscard]] int SectionIndexOfLocked(const QString& name) const;
    [[nodiscard]] int FindNumbered(int section, int number) const;
    [[nodiscard]] int FindNamed(int section, const QString& name) const;
    [[nodiscard]] int FindKey(int section, const QString& key) const;
    // Parses one line into `section`, which a header line changes.
    int AddLineLocked(const QString& line, int& section);
    // Parses the whole text; returns the section of its last header.
    int ParseText(const QString& text);
    void SortLocked();
    void IndexLocked();
    void CheckPosition(int position) const;

    const quint64 FId;
    mutable std::shared_mutex FLock;
    std::vector<TIniItem> FEntries;
    std::vector<TIniSection> FSections;
    int FCodePage = 0;
    QStringList FKnownNames;
    std::vector<int> FKnownIndices;   // per known name, under FLock
};
