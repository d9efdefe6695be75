#include "ui/dialogs/OptionsDialog.h"

#include "base/Exception.h"
#include "settings/GlobStrings.h"
#include "settings/Options.h"
#include "ui/MessageBoxes.h"
#include "ui/VarControls.h"
#include "ui/dialogs/LanguageSection.h"
#include "ui/dialogs/VarMemo.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>

namespace {

const QString kSection = QStringLiteral("MDialogs");
const QString kLevel = QStringLiteral("AdvertismentLevel");
// The option's setter refuses levels below this one; the track bar offers
// only levels the option keeps.
constexpr int kLowestLevel = 11;
constexpr int kHighestLevel = 100;
// The sample edit is this many average characters wide and rows high.
constexpr int kSampleColumns = 57;
constexpr int kSampleRows = 6;

} // namespace

TAtcOptionsDlg::TAtcOptionsDlg(TOptions& options, const QString& title)
    : TLanguageDlg(options, TName{title})
    , FSettings(options)
{
}

void TAtcOptionsDlg::SetAdvSample(const QString& text)
{
    FAdvSample = text;
    const QString path = FSettings.AdSamplesPath();
    try {
        FSettings.AdSamples().AddAdSample(text, path);
    } catch (const Exception&) {
        FileErrorBox(feWrite, path);
    }
}

// ------------------------------------------------------------ options pages

void TAtcOptionsDlg::BuildOptionPages(int page)
{
    AddTabs();
    BuildEditorPage();
    BuildFilterPage();
    BuildLanguagePage();
    EndTabs();
    WidenTo(2 * ClientWidth() - Tabs()->PageRect().width() + 35);
    Tabs()->setCurrentIndex(std::clamp(page, 0, Tabs()->count() - 1));
}

void TAtcOptionsDlg::BuildEditorPage()
{
    AddNamedTab(QStringLiteral("Editor"));
    for (const char* name : {"ShowPreview", "DeleteDoubleReturn", "MarkQuote", "ShowHeader"})
        AddCheck(&FSettings, QString::fromLatin1(name));
}

void TAtcOptionsDlg::BuildFilterPage()
{
    AddNamedTab(QStringLiteral("AdsFilter"));
    AddCheck(&FSettings, QStringLiteral("AdvertismentFilter"));
    AddCheck(&FSettings, QStringLiteral("GreetingFilter"));
    // The label takes the sheet's whole width, so every level's text fits.
    FTrackLabel = AddText(QString());
    NameControl(FTrackLabel, QStringLiteral("TrackLabel"));
    Place(FTrackLabel,
          QRect(FTrackLabel->pos(), QSize(ContainerWidth(LayoutParent()) - 2 * Units().CharWidth, Units().CharHeight)),
          akLeft | akTop | akRight);
    TVarTrackBar* track = AddTrackBar();
    NameControl(track, kLevel);
    track->SetRange(kLowestLevel, kHighestLevel);
    track->BindProperty(&FSettings, kLevel);
    connect(track, &QSlider::valueChanged, this, &TAtcOptionsDlg::ShowLevel);
    ShowLevel(track->value());
}

void TAtcOptionsDlg::ShowLevel(int position)
{
    FTrackLabel->setText(TGlobStrings::FormatText(Lang().SectionValue(kSection, QStringLiteral("TrackLabel")), {position}));
}

void TAtcOptionsDlg::BuildLanguagePage()
{
    AddNamedTab(QStringLiteral("Lang"));
    AddCheck(&FSettings, QStringLiteral("AutoRus"));
    AddCheck(&FSettings, QStringLiteral("AutoRusHeader"));
    AddLanguageCombo();
}

// ---------------------------------------------------------- add-filter page

void TAtcOptionsDlg::BuildAddFilter()
{
    FAdvSample = QApplication::clipboard()->text();
    const TDialogUnits& units = Units();
    AddText(Lang().ValueOf(QStringLiteral("AdvSample")));
    auto* sample = new TVarMemo(this);
    NameControl(sample, QStringLiteral("AdvSample"));
    sample->BindProperty(this, QStringLiteral("AdvSample"));
    WidenTo((kSampleColumns + 2) * units.CharWidth);
    Place(sample, QRect(units.CharWidth, CursorY(), UsableWidth(), kSampleRows * units.RowHeight),
          akLeft | akTop | akRight);
    SetCursorY(sample->geometry().bottom() + 1 + units.CharHeight);

    // The label at the left, the button at the right edge of one row.
    const int top = CursorY();
    QLabel* label = AddNamedLabel(QStringLiteral("EditButtonLabel"));
    TShellButton* edit = AddShellButton(Lang().ValueOf(QStringLiteral("EditAtc")), FSettings.AdSamplesPath());
    NameControl(edit, QStringLiteral("EditAtc"));
    WidenTo(label->width() + edit->width() + 5 * units.CharWidth);
    Place(edit, QRect(ClientWidth() - edit->width() - units.CharWidth, top, edit->width(), units.RowHeight),
          akTop | akRight);
    label->move(label->x(), top + (units.RowHeight - label->height()) / 2);
    SetCursorY(top + units.RowHeight + units.CharHeight);
    sample->setFocus();
}

// ------------------------------------------------------------ entry points

bool ShowOptionsDialog(TOptions& options, int page)
{
    const TLanguageSection section(kSection);
    TAtcOptionsDlg dialog(options, QStringLiteral("OptionsTitle"));
    dialog.BuildOptionPages(page);
    return dialog.RunOkCancel();
}

bool AddAdvertismentFilterDialog(TOptions& options)
{
    const TLanguageSection section(kSection);
    TAtcOptionsDlg dialog(options, QStringLiteral("AddFilter"));
    dialog.BuildAddFilter();
    return dialog.RunOkCancel();
}
