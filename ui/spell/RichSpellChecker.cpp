#include "ui/spell/RichSpellChecker.h"

#include "settings/GlobStrings.h"
#include "ui/MessageBoxes.h"
#include "ui/spell/EditSpellText.h"
#include "ui/spell/SpellCheckDialog.h"

#include <QScopeGuard>

namespace {

// A Yes/No/Cancel box with a "SpellCheck" text about a finding: Yes 6, No 7, Cancel 2.
int AskAboutFinding(const QString& key, const QString& finding)
{
    return ConfirmBox(TGlobStrings::FormatText(Lang().SectionValue(QStringLiteral("SpellCheck"), key), {finding}));
}

} // namespace

// ---------------------------------------------------------- TRichSpellChecker

TRichSpellChecker::TRichSpellChecker(QObject* owner)
    : TSpellChecker(owner)
{
}

bool TRichSpellChecker::CheckRichEdit(QTextEdit& edit)
{
    const auto announce = qScopeGuard([this] { NotifyChanged(); });
    TEditSpellText text(edit);
    return CheckText(text);
}

// ------------------------------------------------------- TRichSpellCheckerDlg

TRichSpellCheckerDlg::TRichSpellCheckerDlg(QObject* owner)
    : TRichSpellChecker(owner)
{
}

TRichSpellCheckerDlg::~TRichSpellCheckerDlg() = default;

int TRichSpellCheckerDlg::MisspelledWord(const QString& word, QString& replacement)
{
    if (!FDialog)
        FDialog = std::make_unique<TSpellCheckDialog>(*this);
    return FDialog->Ask(word, replacement);
}

int TRichSpellCheckerDlg::RepeatedWord(const QString& words)
{
    return AskAboutFinding(QStringLiteral("RepeativeFound"), words);
}

int TRichSpellCheckerDlg::DoubleSpaces(const QString& line)
{
    return AskAboutFinding(QStringLiteral("DuplFound"), line);
}
