#pragma once

#include "ui/dialogs/LanguageDialog.h"

class QLabel;
class TOptions;

// The pages of the options dialog, in their order.
enum TOptionsPage : int {
    opEditor = 0,
    opAdsFilter = 1,
    opLanguage = 2,
};

// The options dialog with its three pages, and the dialog that adds an
// advertisement sample. Their texts are in the language section "MDialogs".
//
// AdvSample starts as the text on the clipboard; writing it adds the text
// to the advertisement samples and saves them (a blank sample, or one held
// already, changes nothing).
class TAtcOptionsDlg : public TLanguageDlg
{
    Q_OBJECT
    Q_PROPERTY(QString AdvSample READ AdvSample WRITE SetAdvSample)
public:
    // Captioned with the named entry of "MDialogs".
    TAtcOptionsDlg(TOptions& options, const QString& title);

    [[nodiscard]] QString AdvSample() const { return FAdvSample; }
    void SetAdvSample(const QString& text);

    // The pages "Editor", "AdsFilter" and "Lang", the given one in front.
    void BuildOptionPages(int page);
    // The sample to add, the label "EditButtonLabel" and the button
    // "EditAtc", which opens the samples file with the desktop's program.
    void BuildAddFilter();

private:
    void BuildEditorPage();
    void BuildFilterPage();
    void BuildLanguagePage();
    void ShowLevel(int position);

    TOptions& FSettings;
    QString FAdvSample;
    QLabel* FTrackLabel = nullptr;
};

// Opens the options dialog on the page (TOptionsPage); true on OK, which
// writes every choice back to the options (and may switch the language).
bool ShowOptionsDialog(TOptions& options, int page);
// Opens the add-advertisement-filter dialog; true on OK, which adds the
// edited sample to the samples.
bool AddAdvertismentFilterDialog(TOptions& options);
