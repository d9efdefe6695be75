#pragma once

#include "base/SyncItems.h"
#include "ui/mesg/CommonForm.h"

#include <QPointer>

#include <memory>

class TMesgEditor;
class TMesgItem;
class TMesgItems;
class TMesgListView;
class TNextPrevAction;
class TTriForm;
class QMenu;

// A window that shows one message in the full message editor: its sender
// and recipients, subject, text, HTML page and attachments, and, for an
// unsent message, editing and saving. The message is a file, or a row of a
// browser window's list: the window is then attached to that list and
// steps through it, until the list goes with its window. It takes part in
// the window registry and Window menus like every window of the program.
class TMEditForm : public TCommonForm
{
    Q_OBJECT
public:
    explicit TMEditForm(QWidget* parent = nullptr);
    ~TMEditForm() override;

    [[nodiscard]] TMesgEditor& Editor() const { return *FEditor; }
    // Shows the message file. A file that does not exist, cannot be read
    // or is not named ".eml" changes nothing; returns whether it is shown.
    // An edited message shown is left only as MayLeaveShownMessage allows.
    bool OpenFile(const QString& path);
    // Attaches the window to the list and shows the message of the row.
    // An edited message shown is left only as MayLeaveShownMessage allows;
    // when it stays, the attached list's row goes back to it.
    void ShowListMessage(TMesgListView& list, int row);
    // The list the window steps through; none for a file or once the list
    // has gone.
    [[nodiscard]] TMesgListView* AttachedList() const;

    // The subject of the message shown.
    [[nodiscard]] QString CaptionText() const override;
    // Neither a file the user opened from elsewhere nor a message of a list
    // (restored with its browser window, not its row) is part of the
    // layout the next start restores.
    [[nodiscard]] bool MayBeSaved() const override { return false; }

    // The window's action of that name ("mOpenFile", "mSave"...).
    [[nodiscard]] QAction* Action(const char* name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A message of the attached list goes back into its folder; a file
    // (or a list message whose list has gone) is saved as a file.
    bool SaveEdits() override;

private:
    void CreateActions();
    void CreateListActions(QMenu* view);
    void AskAndOpen();
    // Shows the item, of the attached list or of the window's own list.
    void ShowMessage(TMesgItem& item, const QString& status);
    // Shows the message of the attached list's current row.
    void ShowCurrentRow();
    void Detach();
    // The browser window the attached list belongs to; none without one.
    [[nodiscard]] TTriForm* ListBrowser() const;
    void OpenBrowser();

    TMesgEditor* FEditor;
    // The message shown, as the one item of a list of its own.
    std::unique_ptr<TMesgItems> FItems;
    QPointer<TMesgListView> FList;
    // The list's message shown, held while it is shown.
    TSyncItemRef FListItem;
    TNextPrevAction* FPrev = nullptr;
    TNextPrevAction* FNext = nullptr;
};
