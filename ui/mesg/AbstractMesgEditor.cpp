#include "ui/mesg/AbstractMesgEditor.h"

TAbstractMesgEditor::TAbstractMesgEditor(TMesgViewModel::TAttachments attachments)
    : FModel(attachments)
{
}

TAbstractMesgEditor::~TAbstractMesgEditor() = default;

void TAbstractMesgEditor::DisplayMessage(const TViewOptions& options, bool unsent)
{
    FOptions = options;
    ClearView();
    FModel.DisplayMessage(options, unsent);
    ShowModel();
}

void TAbstractMesgEditor::ChangeCharset(CharsetId charset)
{
    if (charset != FModel.ChosenCharset())
        LoadMessage(charset, true);
}

void TAbstractMesgEditor::LoadMessage(CharsetId charset, bool keep)
{
    ClearView();
    FModel.LoadMessage(charset, keep, FOptions);
    ShowModel();
}

void TAbstractMesgEditor::SetReadOnly(bool readOnly)
{
    FModel.SetReadOnly(readOnly);
}

void TAbstractMesgEditor::SaveMessageFile(const QString& path)
{
    FModel.SaveMessageFile(path);
}

void TAbstractMesgEditor::SaveAsText(const QString& path)
{
    FModel.SaveAsText(path);
}

TMesgPreview::TMesgPreview()
    : TAbstractMesgEditor(TMesgViewModel::TAttachments::Empty)
{
}

QString TMesgPreview::PreviewText() const
{
    return Model().PreviewText(ViewOptions());
}
