#include "tests/ui/SpellTestSupport.h"

#include "ui/WideEdit.h"
#include "ui/spell/SharedSpellChecker.h"
#include "ui/spell/SpellActions.h"
#include "ui/spell/SpellCheckDialog.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>

TSpellSandbox::TSpellSandbox()
    : Data("VELLUMO_DATA_DIR", QStringLiteral(VELLUMO_BUILD_DATA_DIR))
{
    FreeSharedSpellChecker();
}

TSpellSandbox::~TSpellSandbox()
{
    FreeSharedSpellChecker();
}

QString TSpellSandbox::CustomDictionaryPath() const
{
    return QDir(Options.OptionsPath()).filePath(QStringLiteral("custom.dic"));
}

TSpellEditTest::TSpellEditTest()
{
    FEdit = new TWideRichEdit(&FWindow);
    FWindow.layout()->addWidget(FEdit);
    FWindow.Activate();
    FocusOn(FEdit);
}

void TSpellEditTest::SetText(const QString& text)
{
    FEdit->setPlainText(text);
    FEdit->moveCursor(QTextCursor::Start);
}

void TSpellEditTest::Answer(std::function<void(TSpellCheckDialog& dialog)> answer)
{
    FDialogs.Then([this, answer = std::move(answer)](TDialog& dialog) {
        auto& spell = dynamic_cast<TSpellCheckDialog&>(dialog);
        FAsked << spell.WrongField()->text();
        answer(spell);
    });
}

bool TSpellEditTest::Check()
{
    return CheckSpelling(*FEdit);
}

void AtEveryFontSize(const std::function<void(int points)>& run)
{
    const QFont original = QApplication::font();
    for (const int points : {9, 14}) {
        QFont font = original;
        font.setPointSize(points);
        QApplication::setFont(font);
        run(points);
    }
    QApplication::setFont(original);
}

void ExpectFits(const QWidget& dialog, int points)
{
    for (const std::string& fault : LayoutFaults(&dialog))
        ADD_FAILURE() << points << " pt: " << fault;
}

void TypeReplacement(TSpellCheckDialog& dialog, const QString& text)
{
    TWideEdit* edit = dialog.ReplacementEdit();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
