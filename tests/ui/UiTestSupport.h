#pragma once

#include "settings/GlobStrings.h"
#include "tests/support/CaseName.h"
#include "ui/Beep.h"
#include "ui/list/VirtualListView.h"

#include <QString>

#include <gtest/gtest.h>

// A collection whose items are found by caption.
class TNamedItems : public TVirtItems
{
public:
    [[nodiscard]] int IndexOfName(const QString& name) const override;
};

// A virtual list over TNamedItems that counts its paints.
class TTestList : public TVirtualListView
{
public:
    TTestList();

    int Paints = 0;
    // The text of every column but the first; empty by default, as an item's own.
    QString OtherColumnsText;

    // Appends items captioned "<prefix><n>" with id n, in one batch.
    void Fill(int count, const QString& prefix = QStringLiteral("item "));
    [[nodiscard]] TVirtItem* Item(int row) { return Collection()->ItemForRow(row); }

protected:
    std::unique_ptr<TVirtItems> CreateCollection() override;
    QString ItemText(TVirtItem* item, int column) override;
    void paintEvent(QPaintEvent* event) override;
};

// Counts the beeps while it lives.
class TBeepCounter
{
public:
    TBeepCounter();
    ~TBeepCounter();
    TBeepCounter(const TBeepCounter&) = delete;
    TBeepCounter& operator=(const TBeepCounter&) = delete;

    int Count = 0;

private:
    TBeepHandler FOld;
};

// The shipped English language table as the process-wide one while it lives.
class TEnglishLanguage
{
public:
    TEnglishLanguage();
    ~TEnglishLanguage();
    TEnglishLanguage(const TEnglishLanguage&) = delete;
    TEnglishLanguage& operator=(const TEnglishLanguage&) = delete;

    TGlobStrings Table;
};

// Lets queued events and paints run for a moment.
void Settle(int ms = 30);

class QAction;
// Brings every action up to date as an idle moment would, then triggers
// the action when it exists and is enabled; false otherwise.
bool TriggerIfEnabled(QAction* action);
