#pragma once

#include "settings/Options.h"
#include "tests/settings/SettingsTestSupport.h"
#include "tests/support/TestEnvironment.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MessageForm.h"
#include "ui/dialogs/Dialog.h"

#include <QBoxLayout>
#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Answers the code-built dialogs and the message boxes while it lives:
// each dialog goes to the next answer queued (a dialog without one is
// cancelled), each box is recorded and closed with Escape.
class TDialogAnswers
{
public:
    TDialogAnswers();
    ~TDialogAnswers();
    TDialogAnswers(const TDialogAnswers&) = delete;
    TDialogAnswers& operator=(const TDialogAnswers&) = delete;

    void Then(std::function<void(TDialog& dialog)> answer);

    int Dialogs = 0;
    QStringList Boxes;

private:
    std::deque<std::function<void(TDialog&)>> FAnswers;
    TDialogObserver FOldDialog;
    TBoxObserver FOldBox;
};

// The settings object of a run over a private settings file and data
// folder, with the shipped English texts.
class TOptionsSandbox
{
public:
    TSettingsSandbox Sandbox;
    TCapturedBoxes Captured;
    TOptions Options;
};

// A top-level window, shown and active, holding the controls of a test.
class TActiveWindow : public QWidget
{
public:
    TActiveWindow();
    // Shows and activates the window (its controls laid out top to bottom).
    void Activate();
};

// Gives the control the keyboard focus and lets the actions follow it.
void FocusOn(QWidget* control);

// What is wrong with the placement of the controls inside `container`
// (each described for the failure message): a visible control reaching
// outside its parent, two visible siblings that overlap, or a label or
// button narrower than its text. Radio groups and page controls place
// their own children and are not looked into.
[[nodiscard]] std::vector<std::string> LayoutFaults(const QWidget* container);
// Fails the test with each of the dialog's layout faults.
void ExpectNoLayoutFaults(const TDialog& dialog);

// Clicks a button with the mouse.
void Click(QWidget* button);
