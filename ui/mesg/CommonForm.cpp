#include "ui/mesg/CommonForm.h"

#include "base/FastMemoryStream.h"
#include "content/view/MesgTextForm.h"
#include "content/attach/FileDialogFilter.h"
#include "messages/MesgErrors.h"
#include "messages/MesgItem.h"
#include "settings/GlobStrings.h"
#include "store/OeMesgItems.h"
#include "ui/MessageBoxes.h"
#include "ui/mesg/CharsetChooser.h"
#include "ui/mesg/CommonMesgEditor.h"
#include "ui/mesg/MesgTexts.h"
#include "ui/mesg/SaveDialog.h"

#include <QFileInfo>

namespace {

bool IsTextFileName(const QString& fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

QString WithExtension(const QString& fileName, const QString& extension)
{
    const QFileInfo file(fileName);
    return file.path() + QLatin1Char('/') + file.completeBaseName() + extension;
}

} // namespace

TCommonForm::TCommonForm(QWidget* parent)
    : TTaskForm(parent)
{
}

void TCommonForm::ShowItem(TMesgItem& item, TCommonMesgEditor& view)
{
    item.DecodeInto(view.Message(), TMimeParser::TMode::Deferred);
    view.DisplayMessage(TViewOptions::FromSettings().ForSubject(item.Subject()), item.HasState(stUnsent));
    view.SetCaretPosition(item.CaretPosition());
}

bool TCommonForm::SaveEditedItem(TOeMesgItems& messages, TOeMesgItem& item, TCommonMesgEditor& view)
{
    TFastMemoryStream stream;
    view.SaveBodyToStream(stream);
    stream.SetPosition(0);
    try {
        messages.SaveEdited(item, stream);
    } catch (const Exception& error) {
        ErrorBox(error.Message());
        return false;
    }
    view.SetModified(false);
    return true;
}

bool TCommonForm::SaveMessageToFile(const QString& fileName)
{
    if (!FView)
        return SaveFocusedItem(fileName);
    try {
        if (IsTextFileName(fileName)) {
            FView->SaveAsText(fileName);
            return false;
        }
        FView->SaveMessageFile(fileName);
        FView->SetModified(false);
        return true;
    } catch (...) {
        if (!ReportFileErrorInBox(fileName))
            throw;
        return false;
    }
}

bool TCommonForm::SaveFocusedItem(const QString& fileName)
{
    TMesgItem* item = FocusedItem ? FocusedItem() : nullptr;
    if (!item)
        throw EMesgError(QStringLiteral("Error saving message to file %1").arg(fileName));
    if (!IsTextFileName(fileName)) {
        item->SaveToFile(fileName);
        return false;
    }
    // The text form of the item, decoded as the pane would show it but
    // never filtered.
    TMesgViewModel model(TMesgViewModel::TAttachments::Empty);
    item->DecodeInto(model.Message(), TMimeParser::TMode::Deferred);
    model.DisplayMessage(TViewOptions::FromSettings());
    try {
        model.SaveAsText(fileName);
    } catch (...) {
        if (!ReportFileErrorInBox(fileName))
            throw;
    }
    return false;
}

bool TCommonForm::SaveShownMessage()
{
    if (FFileName.isEmpty())
        return SaveShownMessageAs();
    return SaveMessageToFile(WithExtension(FFileName, QStringLiteral(".eml")));
}

bool TCommonForm::SaveShownMessageAs()
{
    const QString subject = FView ? FView->Model().Fields().Subject : QString();
    const QString folder = FFileName.isEmpty() ? QString() : QFileInfo(FFileName).path() + QLatin1Char('/');
    TSaveRequest request;
    request.Title = Lang().CommonText(QStringLiteral("SaveFile"));
    request.Start = folder + SaveAsBaseName(FFileName, subject);
    request.Filter = FileDialogFilter({QStringLiteral("eml"), QStringLiteral("txt"), QStringLiteral("*.*")});
    request.DefaultSuffix = QStringLiteral("eml");
    const QString chosen = ChooseSaveFile(request);
    if (chosen.isEmpty())
        return false;
    const bool saved = SaveMessageToFile(chosen);
    if (saved)
        FFileName = chosen;
    return saved;
}

bool TCommonForm::ConfirmSave()
{
    switch (ConfirmBox(TGlobStrings::FormatText(NamedText(QStringLiteral("MesgExpl"), QStringLiteral("Confirm"))))) {
    case mrYes:
        return SaveEdits();
    case mrNo:
        if (FView)
            FView->SetModified(false);
        return true;
    default:
        return false;
    }
}

bool TCommonForm::MayLeaveShownMessage()
{
    if (!FView || FView->ReadOnly() || !FView->IsModified())
        return true;
    return ConfirmSave();
}

void TCommonForm::ChangeCharsetCommand()
{
    if (!FView)
        return;
    if (const std::optional<CharsetId> charset = ChooseCharset(FView->ChosenCharset()))
        FView->ChangeCharset(*charset);
}
