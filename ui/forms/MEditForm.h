#pragma once

#include "ui/mesg/CommonForm.h"

#include <memory>

class TMesgEditor;
class TMesgItem;
class TMesgItems;

// A window that shows one message file in the full message editor: its
// sender and recipients, subject, text, HTML page and attachments, and, for
// an unsent message, editing and saving. It takes part in the window
// registry and Window menus like every window of the program.
class TMEditForm : public TCommonForm
{
    Q_OBJECT
public:
    explicit TMEditForm(QWidget* parent = nullptr);
    ~TMEditForm() override;

    [[nodiscard]] TMesgEditor& Editor() const { return *FEditor; }
    // Shows the message file. A file that does not exist, cannot be read
    // or is not named ".eml" changes nothing; returns whether it is shown.
    bool OpenFile(const QString& path);

    // The subject of the message shown.
    [[nodiscard]] QString CaptionText() const override;
    // A window of a file the user opened from elsewhere is not part of the
    // layout the next start restores.
    [[nodiscard]] bool MayBeSaved() const override { return false; }

    // The window's action of that name ("mOpenFile", "mSave"...).
    [[nodiscard]] QAction* Action(const char* name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void AskAndOpen();
    void Save();

    TMesgEditor* FEditor;
    // The message shown, as the one item of a list of its own.
    std::unique_ptr<TMesgItems> FItems;
};
