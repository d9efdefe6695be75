#pragma once

#include "ui/BoundControl.h"
#include "ui/WideEdit.h"

#include <QPointer>
#include <QStringList>

#include <functional>

// A one-line edit bound to a published property (through its text) or to a
// text variable of the caller. It loads the value when bound and writes it
// back on ApplyValue. Ctrl+Left and Ctrl+Right jump by words. An edit set
// as `Synthron` is kept equal to this one, both ways.
class TVarEdit : public TWideEdit, public IBoundControl
{
    Q_OBJECT
    Q_PROPERTY(TVarEdit* Synthron READ Synthron WRITE SetSynthron)
public:
    explicit TVarEdit(QWidget* parent = nullptr);
    ~TVarEdit() override;

    // Loads the property's text, selects it all and shows the property's hint.
    void BindProperty(QObject* object, const QString& name);
    void BindVariable(QString* variable);
    [[nodiscard]] bool ValidateValue() const override;
    // Writes the text to the property (not when disabled), else to the variable.
    void ApplyValue() override;

    [[nodiscard]] TVarEdit* Synthron() const { return FSynthron; }
    void SetSynthron(TVarEdit* partner);

    // Word characters are letters and digits; ASCII punctuation, controls and
    // blanks delimit words, and so does any other character that is neither
    // letter nor digit.
    [[nodiscard]] static bool IsDelimiter(QChar c);
    // Where Ctrl+Right and Ctrl+Left move the caret from `position`.
    [[nodiscard]] static int NextWordStart(const QString& text, int position);
    [[nodiscard]] static int PreviousWordStart(const QString& text, int position);

    std::function<bool(const QString& text)> OnValidateText;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CopyToSynthron(const QString& text);

    TPropertyBinding FBinding;
    QString* FVariable = nullptr;
    QPointer<TVarEdit> FSynthron;
    bool FCopying = false;
};

// An edit that completes what is typed from a list: after each key, the
// part after the last ";" or "," is completed with the first entry that
// begins with it (letter case ignored), and the added rest is selected.
class TAutoFinishEdit : public TVarEdit
{
    Q_OBJECT
public:
    explicit TAutoFinishEdit(QWidget* parent = nullptr);

    QStringList Completions;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void Complete();
};
