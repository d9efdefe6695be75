#pragma once

#include <QString>

#include <memory>

class TSettingsStore;

// Most-recently-used lists of entered texts, kept in the settings section
// "History": entry n of the list with prefix P is the value "P<n>", n from
// 0 (newest) to 9. Each change reaches the settings file at once; a store
// that refuses a read or write is ignored (the entry reads as empty).
class THistory
{
public:
    // Over the key "History" below the settings key `storeKey`.
    explicit THistory(const QString& storeKey);
    ~THistory();
    THistory(const THistory&) = delete;
    THistory& operator=(const THistory&) = delete;

    static constexpr int kMaxEntries = 10;

    [[nodiscard]] const QString& Prefix() const { return FPrefix; }
    // Makes `prefix` the current list and moves `text` to its front (an
    // entry equal to it, letter case ignored, is moved rather than copied).
    // An empty text only selects the list.
    void SelectHistory(const QString& prefix, const QString& text);
    // 1 + the highest entry that is not empty; 0 when all are empty.
    [[nodiscard]] int Count() const;
    // Entry n of the current list; empty outside 0..9.
    [[nodiscard]] QString Get(int n) const;
    // Sets entry n (ignored outside 0..9).
    void Put(int n, const QString& text);
    // Removes entry n; the later entries move up by one.
    void Delete(int n);
    // Removes every list.
    void Clear();

private:
    [[nodiscard]] QString Key(int n) const;
    void Set(int n, const QString& text);
    void Flush();

    std::unique_ptr<TSettingsStore> FStore;
    QString FPrefix;
};
