#include "ui/spell/SpellCheckDialog.h"

#include "content/spell/SpellChecker.h"
#include "settings/GlobStrings.h"
#include "ui/MessageForm.h"
#include "ui/WideEdit.h"
#include "ui/dialogs/LanguageSection.h"

#include <QEvent>
#include <QListWidget>

namespace {

struct TButtonEntry
{
    const char* Name;
    int Answer;
};

// In the order of TSpellCheckDialog::TButton: each row of the dialog holds two.
constexpr TButtonEntry kButtons[] = {
    {"Ignore", TSpellAnswer::Ignore}, {"IgnoreAll", TSpellAnswer::IgnoreAll},
    {"Change", TSpellAnswer::Change}, {"ChangeAll", TSpellAnswer::ChangeAll},
    {"Add", TSpellAnswer::Add},       {"Cancel", TSpellAnswer::Stop},
};

// Rows the suggestion list shows at once.
constexpr int kSuggestionRows = 6;

} // namespace

TSpellCheckDialog::TSpellCheckDialog(const TSpellChecker& checker)
    : TDialog(Lang().SectionValue(QStringLiteral("SpellCheck"), QStringLiteral("DlgTitle")))
    , FChecker(checker)
{
    const TLanguageSection section(QStringLiteral("SpellCheck"));
    setObjectName(QStringLiteral("SpellCheckDialog"));
    // Every button is as wide as the widest caption needs ("IgnoreAll" in
    // English); the fields take about 30 average characters beside them.
    int buttonWidth = 0;
    for (const TButtonEntry& entry : kButtons)
        buttonWidth = std::max(buttonWidth, Units().ButtonWidth(Lang().ValueOf(QString::fromLatin1(entry.Name))));
    const int cw = Units().CharWidth;
    const int buttonsWidth = 2 * buttonWidth + cw;
    WidenTo(cw + 30 * cw + 2 * cw + buttonsWidth + cw);
    BuildFields(ClientWidth() - 4 * cw - buttonsWidth);
    BuildButtons(buttonWidth);
    FinishHeight();
    MakeDefault(FButtons[bIgnore]);
}

void TSpellCheckDialog::BuildFields(int fieldWidth)
{
    FWrong = AddControl<TWideEdit>(Lang().ValueOf(QStringLiteral("Wrong")));
    NameControl(FWrong, QStringLiteral("Wrong"));
    FWrong->setReadOnly(true);
    FWrong->setFocusPolicy(Qt::NoFocus);
    QPalette palette = FWrong->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    FWrong->setPalette(palette);

    FReplacement = AddControl<TWideEdit>(Lang().ValueOf(QStringLiteral("ChangeTo")));
    NameControl(FReplacement, QStringLiteral("ChangeTo"));
    FReplacement->installEventFilter(this);
    connect(FReplacement, &QLineEdit::textEdited, this, &TSpellCheckDialog::ReplacementTyped);

    FSuggestions = AddControl<QListWidget>(Lang().ValueOf(QStringLiteral("Suggest")));
    NameControl(FSuggestions, QStringLiteral("Suggest"));
    FSuggestions->setSelectionMode(QAbstractItemView::SingleSelection);
    FSuggestions->setUniformItemSizes(true);
    connect(FSuggestions, &QListWidget::currentRowChanged, this, &TSpellCheckDialog::SuggestionChosen);
    connect(FSuggestions, &QListWidget::itemDoubleClicked, this, &TSpellCheckDialog::ChangeClicked);

    // Whole rows, as many as the style's row height allows. The list
    // reaches down to where a closing row would stand, as the dialog has
    // none: its buttons stand beside the fields.
    FSuggestions->addItem(QStringLiteral("X"));
    const int rowHeight = FSuggestions->sizeHintForRow(0);
    FSuggestions->clear();
    const int listHeight = kSuggestionRows * rowHeight + 2 * FSuggestions->frameWidth();
    FSuggestions->resize(FSuggestions->width(), std::max(listHeight, 3 * Units().RowHeight));
    SetCursorY(FSuggestions->geometry().bottom() + 1 - Units().RowHeight);
    for (QWidget* field : {static_cast<QWidget*>(FWrong), static_cast<QWidget*>(FReplacement),
                           static_cast<QWidget*>(FSuggestions)})
        field->resize(fieldWidth, field->height());
}

void TSpellCheckDialog::BuildButtons(int buttonWidth)
{
    const int cw = Units().CharWidth;
    const QWidget* rows[] = {FWrong, FReplacement, FSuggestions};
    for (int i = 0; i < kButtonCount; ++i) {
        const TButtonEntry& entry = kButtons[i];
        const QString name = QString::fromLatin1(entry.Name);
        auto* button = new QPushButton(Lang().ValueOf(name), this);
        NameControl(button, name);
        const int column = i % 2;
        const int left = ClientWidth() - cw - (2 - column) * buttonWidth - (1 - column) * cw;
        Place(button, QRect(left, rows[i / 2]->y(), buttonWidth, Units().RowHeight), akTop | akRight);
        if (entry.Answer == TSpellAnswer::Change)
            connect(button, &QPushButton::clicked, this, &TSpellCheckDialog::ChangeClicked);
        else
            connect(button, &QPushButton::clicked, this, [this, answer = entry.Answer] { done(answer); });
        FButtons[i] = button;
    }
    SetCancelButton(FButtons[bCancel]);
}

int TSpellCheckDialog::Ask(const QString& word, QString& replacement)
{
    FWrong->setText(word);
    if (FChecker.AlwaysSuggest())
        ShowSuggestions(FChecker.GetSuggestions(word));
    else
        ShowSuggestions({});
    MakeDefault(FButtons[bIgnore]);
    FButtons[bIgnore]->setFocus(Qt::OtherFocusReason);
    RunDialog();
    replacement = FReplacement->text();
    return result();
}

void TSpellCheckDialog::ShowSuggestions(const QStringList& suggestions)
{
    FSelecting = true;
    FSuggestions->clear();
    FSuggestions->addItems(suggestions);
    FSelecting = false;
    if (!suggestions.isEmpty())
        FReplacement->setText(suggestions.first());
}

void TSpellCheckDialog::SuggestionChosen(int row)
{
    if (FSelecting || row < 0)
        return;
    FReplacement->setText(FSuggestions->item(row)->text());
    MakeDefault(FButtons[bChange]);
}

void TSpellCheckDialog::ReplacementTyped(const QString& text)
{
    if (text.isEmpty())
        return;
    for (int row = 0; row < FSuggestions->count(); ++row) {
        if (FSuggestions->item(row)->text().startsWith(text, Qt::CaseInsensitive)) {
            FSelecting = true;
            FSuggestions->setCurrentRow(row);
            FSelecting = false;
            return;
        }
    }
}

bool TSpellCheckDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FReplacement && event->type() == QEvent::FocusIn)
        MakeDefault(FButtons[bChange]);
    return TDialog::eventFilter(watched, event);
}

void TSpellCheckDialog::ChangeClicked()
{
    if (!FChecker.IsWordCorrect(FReplacement->text())) {
        const QString question = Lang().SectionValue(QStringLiteral("SpellCheck"), QStringLiteral("ConfirmWord"));
        if (ShowBox(TGlobStrings::FormatText(question), TBoxKind::Confirmation, mbYes | mbNo) != mrYes) {
            FReplacement->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    done(TSpellAnswer::Change);
}

void TSpellCheckDialog::MakeDefault(QPushButton* button)
{
    for (QPushButton* each : FButtons)
        each->setDefault(each == button);
}
