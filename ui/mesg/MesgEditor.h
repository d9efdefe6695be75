#pragma once

#include "ui/mesg/CommonMesgEditor.h"

class QLabel;
class TSpellUnderliner;
class TWideEdit;

// The message window's editor. A received message shows its sender and
// first recipient as name and address, the date and the subject; an
// unsent one is edited: its recipients, copies, subject, additional
// fields, text (underlined where misspelt) and attachments, and saving
// rebuilds the message from them, keeping every attachment and every
// header field the editor does not own.
class TMesgEditor : public TCommonMesgEditor
{
    Q_OBJECT
public:
    // The edit boxes, in the order they are laid out.
    enum TBox : int { bxFromName, bxFromAddress, bxToName, bxToAddress, bxDate, bxSubject, bxTo, bxCc, bxBcc, bxCount };

    explicit TMesgEditor(QWidget* parent = nullptr);

    [[nodiscard]] TWideEdit* Box(TBox box) const { return FBoxes[box]; }
    [[nodiscard]] bool BoxShown(TBox box) const;
    [[nodiscard]] TSpellUnderliner* Underliner() const { return FUnderliner; }

    void UpdateCaptions() override;
    [[nodiscard]] bool IsModified() const override;
    void SetModified(bool modified) override;

    // The fields and text as the user edited them.
    [[nodiscard]] TEditedMessage Edited() const;
    // Rebuilds an edited unsent message first, then writes it.
    void SaveMessageFile(const QString& path) override;
    // Rebuilds an edited unsent message first, then writes it.
    void SaveBodyToStream(TStream& target) override;
    // From, To, Cc and Bcc (when not empty), Subject and Date as the boxes
    // show them, then the text.
    void SaveAsText(const QString& path) override;

protected:
    void ShowFields() override;
    void ApplyReadOnly() override;

private:
    // Rebuilds the message from the boxes when an unsent one was edited.
    void ApplyEdits();

    TWideEdit* FBoxes[bxCount] = {};
    QLabel* FLabels[bxCount] = {};
    TSpellUnderliner* FUnderliner = nullptr;
};
