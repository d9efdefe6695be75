#include "ui/forms/TriForm.h"

#include "messages/MesgItem.h"
#include "settings/GlobStrings.h"
#include "settings/Options.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"
#include "ui/forms/MEditForm.h"
#include "ui/MessageBoxes.h"
#include "ui/mesg/QuickMesgEditor.h"
#include "ui/mesglist/MesgListView.h"

#include <QApplication>
#include <QDateTime>
#include <QSplitter>
#include <QTimer>

void TTriForm::SetShowEditor(bool show)
{
    if (show == ShowEditor())
        return;
    if (show) {
        FPane = new TQuickMesgEditor(FHorzSplitter);
        FHorzSplitter->addWidget(FPane);
        FitPaneHeight();
        SetView(FPane);
        FMarkReadTimer->start();
        if (FList->ItemCount() > 0 && FList->ItemIndex() >= 0)
            ShowMessage(FList->Messages()->ItemForRow(FList->ItemIndex()));
    } else {
        FMarkReadTimer->stop();
        SetView(nullptr);
        delete FPane;
        FPane = nullptr;
        FShownAt = {};
    }
    RenumberTabOrder();
}

void TTriForm::ShowMessage(TVirtItem* item)
{
    // Nothing is decoded while the program shuts down.
    if (!FPane || QCoreApplication::closingDown())
        return;
    if (!item) {
        FPane->Model().Clear();
        FPane->DisplayMessage(TViewOptions::FromSettings());
        FShownAt = {};
        return;
    }
    ShowItem(*static_cast<TMesgItem*>(item), *FPane);
    FShownAt = QDateTime::currentDateTimeUtc();
}

bool TTriForm::HasShownItem() const
{
    return FPane && FList->ItemCount() > 0 && FList->ItemIndex() >= 0;
}

void TTriForm::MarkReadAfterDelay()
{
    if (!FShownAt.isValid() || !Options())
        return;
    const TSyncItemRef ref = FList->ShownItem();
    auto* item = ref ? ref.As<TOeMesgItem>() : nullptr;
    if (!item || !item->HasState(stUnread)) {
        FShownAt = {};
        return;
    }
    if (FShownAt.msecsTo(QDateTime::currentDateTimeUtc()) < Options()->MarkPreviewAsRead())
        return;
    Messages().MarkRead({static_cast<TStoreId>(item->Id())}, true);
    FShownAt = {};
}

void TTriForm::OpenMessage(int row)
{
    auto* form = new TMEditForm;
    form->ShowListMessage(*FList, row);
    form->show();
}

bool TTriForm::CanSaveEdited() const
{
    return FPane && !FPane->ReadOnly() && FPane->IsModified();
}

void TTriForm::SaveEditedMessage()
{
    const TSyncItemRef ref = FList->ShownItem();
    auto* item = ref ? ref.As<TOeMesgItem>() : nullptr;
    if (item && CanSaveEdited())
        SaveEditedItem(Messages(), *item, *FPane);
}

void TTriForm::SaveMessageAs()
{
    SetFileName({});
    SaveShownMessageAs();
}

void TTriForm::ReloadWithoutFilter()
{
    TOptions* options = Options();
    TVirtItem* item = FList->ItemIndex() >= 0 ? FList->Messages()->ItemForRow(FList->ItemIndex()) : nullptr;
    if (!options || !item)
        return;
    options->SetAdvertismentFilter(false);
    try {
        ShowMessage(item);
    } catch (...) {
        options->SetAdvertismentFilter(true);
        throw;
    }
    options->SetAdvertismentFilter(true);
}

bool TTriForm::ConfirmClose()
{
    if (!CanSaveEdited())
        return true;
    switch (ConfirmBox(TGlobStrings::FormatText(Lang().SectionValue(QStringLiteral("MesgExpl"), QStringLiteral("Confirm"))))) {
    case mrYes:
        SaveEditedMessage();
        return !FPane->IsModified();
    case mrNo:
        return true;
    default:
        return false;
    }
}
