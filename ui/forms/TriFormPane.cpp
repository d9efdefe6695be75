#include "ui/forms/TriForm.h"

#include "messages/MesgItem.h"
#include "settings/Options.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"
#include "ui/forms/MEditForm.h"
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
        // An edited draft goes with the pane only when the user says so.
        if (!MayLeaveShownMessage())
            return;
        FMarkReadTimer->stop();
        SetView(nullptr);
        FPaneItem.Reset();
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
    if (!CanSaveEdited()) {
        ShowInPane(item);
        return;
    }
    // An edited message is never replaced silently. The list calls here
    // while it moves its row, under the collection's read lock: the
    // question waits until the list has finished.
    if (item != FPaneItem.Get() && !FLeaveQueued) {
        FLeaveQueued = true;
        QMetaObject::invokeMethod(this, &TTriForm::LeaveEditedMessage, Qt::QueuedConnection);
    }
}

void TTriForm::LeaveEditedMessage()
{
    FLeaveQueued = false;
    const TSyncItemRef current = FList->ShownItem();
    // The list may have come back to the edited message meanwhile.
    if (!FPane || current.Get() == FPaneItem.Get())
        return;
    if (MayLeaveShownMessage())
        ShowInPane(current.As<TVirtItem>());
    else
        FList->SelectItem(FPaneItem.Get());
}

void TTriForm::ShowInPane(TVirtItem* item)
{
    FPaneItem = TSyncItemRef(item);
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
    auto* item = FPaneItem.As<TOeMesgItem>();
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

bool TTriForm::SaveEdits()
{
    auto* item = FPaneItem.As<TOeMesgItem>();
    return item && CanSaveEdited() && SaveEditedItem(Messages(), *item, *FPane);
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
