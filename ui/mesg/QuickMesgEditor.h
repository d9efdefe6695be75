#pragma once

#include "ui/mesg/CommonMesgEditor.h"

class QLabel;

// The reading pane: From and To side by side and the Subject line with the
// date above the pages. Shown text is plain text, whatever the message
// puts into its fields.
class TQuickMesgEditor : public TCommonMesgEditor
{
    Q_OBJECT
public:
    explicit TQuickMesgEditor(QWidget* parent = nullptr);

    [[nodiscard]] QLabel* FromLabel() const { return FFrom; }
    [[nodiscard]] QLabel* ToLabel() const { return FTo; }
    [[nodiscard]] QLabel* SubjectLabel() const { return FSubject; }

protected:
    void ClearView() override;
    void ShowFields() override;

private:
    QLabel* FFrom;
    QLabel* FTo;
    QLabel* FSubject;
};
