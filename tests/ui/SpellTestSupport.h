#pragma once

#include "settings/Options.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/ui/BoxAnswers.h"
#include "tests/ui/DialogTestSupport.h"
#include "ui/MessageForm.h"
#include "ui/edit/WideRichEdit.h"

#include <QStringList>

#include <deque>
#include <functional>

class TSpellCheckDialog;

// The settings of a run over a private settings file whose data folder is
// the build's, where the main dictionary is made. The shared checker is
// let go before and after, so each test starts from the files.
class TSpellSandbox
{
public:
    TSpellSandbox();
    ~TSpellSandbox();
    TSpellSandbox(const TSpellSandbox&) = delete;
    TSpellSandbox& operator=(const TSpellSandbox&) = delete;

    [[nodiscard]] QString CustomDictionaryPath() const;

    TSettingsSandbox Sandbox;
    TScopedEnv Data;
    TCapturedBoxes Captured;
    TOptions Options;
};

// A spelling test: an editable rich edit in an active window, answers for
// the spell-check dialogs (the words they asked about are recorded) and
// for the boxes.
class TSpellEditTest : public ::testing::Test
{
protected:
    TSpellEditTest();

    // The edit holds the text, with the caret at its start.
    void SetText(const QString& text);
    [[nodiscard]] QString Text() const { return FEdit->toPlainText(); }
    // Answers the next spell-check dialog.
    void Answer(std::function<void(TSpellCheckDialog& dialog)> answer);
    // Runs the check as the spell-check command does.
    bool Check();

    TSpellSandbox FSpell;
    TDialogAnswers FDialogs;
    TBoxAnswers FBoxes;
    TActiveWindow FWindow;
    TWideRichEdit* FEdit = nullptr;
    QStringList FAsked;
};

// Runs `run` with the application font at 9 and at 14 points, then
// restores the font; `expectFits` reports what does not fit in a dialog.
void AtEveryFontSize(const std::function<void(int points)>& run);
void ExpectFits(const QWidget& dialog, int points);

// Types the text into the replacement edit, replacing what it holds.
void TypeReplacement(TSpellCheckDialog& dialog, const QString& text);

// Texts in failure messages.
void PrintTo(const QString& text, std::ostream* out);
