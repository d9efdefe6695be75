#pragma once

#include "ui/forms/TaskForm.h"
#include "ui/mesg/CommonMesgEditor.h"

#include <QPointer>
#include <QString>

#include <functional>

class TMesgItem;
class TOeMesgItem;
class TOeMesgItems;

// The base of the windows that show messages (the three-pane window and
// the stand-alone message window) with the commands both share: showing a
// list item in the message view, saving the shown message as a message
// or text file, asking to save changes, and changing the charset.
class TCommonForm : public TTaskForm
{
    Q_OBJECT
public:
    explicit TCommonForm(QWidget* parent = nullptr);

    // The file the shown message was last saved to or opened from; empty
    // for a store message not saved yet.
    [[nodiscard]] const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& name) { FFileName = name; }
    [[nodiscard]] TCommonMesgEditor* View() const { return FView; }
    void SetView(TCommonMesgEditor* view) { FView = view; }
    // The focused item of the window's list, for saving without a view.
    std::function<TMesgItem*()> FocusedItem;

    // Parses the item's source into the view's message and shows it: a
    // digest (IsDigestSubject) without the advertisement filter, which would
    // cut it at the first of its many advertisements; the caret at the
    // item's stored position; editable exactly when the item is unsent.
    static void ShowItem(TMesgItem& item, TCommonMesgEditor& view);
    // Stores the view's edit of the item in its place in the collection's
    // folder; a failure is shown. Answers whether it was stored.
    static bool SaveEditedItem(TOeMesgItems& messages, TOeMesgItem& item, TCommonMesgEditor& view);

    // Saves the shown message: ".txt" writes its text form and answers
    // false (the message itself is not saved); any other name writes the
    // message file and answers whether that succeeded. File errors are
    // shown and give false. Without a view the list's focused item is
    // saved, and the answer is false.
    bool SaveMessageToFile(const QString& fileName);
    // Saves under the file name (as ".eml"), or asks for one.
    bool SaveShownMessage();
    // Asks for a name (proposed from the file name, else the subject) and saves.
    bool SaveShownMessageAs();
    // "Save the changes?": Yes saves (SaveEdits), No discards the changes,
    // Cancel answers false (the window stays open).
    bool ConfirmSave();
    // Whether the shown message may give way (to another message, or to
    // the window closing): it holds no unsaved edit, or ConfirmSave let it
    // go. Every place that replaces or closes the shown message asks this
    // first, so that an edit is never lost silently.
    [[nodiscard]] bool MayLeaveShownMessage();
    // Asks for a charset and shows the message in it.
    void ChangeCharsetCommand();

protected:
    // Saves the edited message where it belongs: under its file name (or a
    // name asked for); answers whether it was saved.
    virtual bool SaveEdits() { return SaveShownMessage(); }

private:
    bool SaveFocusedItem(const QString& fileName);

    QString FFileName;
    QPointer<TCommonMesgEditor> FView;
};
