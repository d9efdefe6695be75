#pragma once

#include <QString>
#include <QStringList>

#include <mutex>

// The advertisement samples: one list per run, held by the settings
// object, each entry trimmed and upper-cased, no empty entries. The reading
// pane's filters read it on any thread; samples are added on the main
// thread.
class TAdSamples
{
public:
    // The file name in the options folder and in the data folder.
    static inline const QString kFileName = QStringLiteral("atcdict.txt");

    // Replaces the list with the lines of the file (UTF-16 or UTF-8 with a
    // byte-order mark, else 8-bit text in the system code page); nothing
    // when the file does not exist.
    void LoadAdSamples(const QString& path);
    // Writes the list as UTF-16 little-endian text with a byte-order mark.
    // Raises Exception when the file cannot be written.
    void Save(const QString& path) const;
    // The start-up load: the options folder's samples, or else the shipped
    // ones, which are then saved into the options folder.
    void LoadAtStartUp(const QString& optionsFolder, const QString& dataFolder);
    // Adds the text, trimmed and upper-cased, unless it is blank or already
    // held (letter case ignored); the previous file is kept as
    // "atcdict.~txt" and the list saved to `path`. True when added.
    bool AddAdSample(const QString& text, const QString& path);

    [[nodiscard]] QStringList Samples() const;

private:
    mutable std::mutex FMutex;
    QStringList FSamples;
};
