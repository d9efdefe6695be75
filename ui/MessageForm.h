#pragma once

#include "ui/VistaForm.h"

#include <QString>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

// Kinds of box, in code order.
enum class TBoxKind { Warning, Error, Information, Confirmation, Custom };

// Buttons of a box; a box shows any subset, in this order.
enum TBoxButton : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOk = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using TBoxButtons = unsigned;

// Results of a box: the pressed button's result, 2 when closed otherwise.
enum TBoxResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// The program's own message box, built in code: the caption and button
// texts come from the language table (section "Common"), so boxes speak
// the chosen language. Sized from the average character of its font; the
// text wraps within about 62 % of the screen width.
class TTntMessageForm : public TVistaForm
{
    Q_OBJECT
public:
    TTntMessageForm(const QString& text, TBoxKind kind, TBoxButtons buttons, int helpContext);

    [[nodiscard]] int HelpContext() const { return FHelpContext; }
    [[nodiscard]] QPushButton* DefaultButton() const { return FDefault; }
    [[nodiscard]] QPushButton* CancelButton() const { return FCancel; }
    [[nodiscard]] QLabel* MessageLabel() const { return FMessage; }
    // The box as text, as Ctrl+C copies it.
    [[nodiscard]] QString CopyText() const;

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct TButtonEntry
    {
        QPushButton* Button;
        int Result;
    };

    void Build(const QString& text, TBoxKind kind, TBoxButtons buttons);

    int FHelpContext;
    QLabel* FMessage = nullptr;
    QPushButton* FDefault = nullptr;
    QPushButton* FCancel = nullptr;
    std::vector<TButtonEntry> FButtons;
};

// Called with every box once it shows, inside its modal loop; tests answer
// boxes through it. Returns the previous observer.
using TBoxObserver = std::function<void(TTntMessageForm& box)>;
TBoxObserver SetBoxObserver(TBoxObserver observer);

// Builds the box centred on the screen (a left or top of 0 or more replaces
// the centred value), shows it modally and returns the result.
int ShowBox(const QString& text, TBoxKind kind, TBoxButtons buttons, int helpContext = 0, int left = -1,
            int top = -1);
