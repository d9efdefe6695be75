#include "ui/forms/MEditForm.h"

#include "base/FastMemoryStream.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/GlobStrings.h"
#include "store/OeMesgItem.h"
#include "store/OeMesgItems.h"
#include "ui/MessageBoxes.h"
#include "ui/actions/ActionSets.h"
#include "ui/actions/ListActions.h"
#include "ui/actions/WindowAction.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/forms/TriForm.h"
#include "ui/mesg/MesgEditor.h"
#include "ui/mesglist/MesgListView.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>

namespace {

bool IsMessageFileName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("eml"), Qt::CaseInsensitive) == 0;
}

} // namespace

TMEditForm::TMEditForm(QWidget* parent)
    : TCommonForm(parent)
    , FEditor(new TMesgEditor(this))
    , FItems(std::make_unique<TMesgItems>())
{
    setObjectName(QStringLiteral("MEditForm"));
    setCentralWidget(FEditor);
    SetView(FEditor);
    statusBar();
    CreateActions();
    resize(760, 640);
    Register();
}

TMEditForm::~TMEditForm() = default;

void TMEditForm::CreateActions()
{
    const auto add = [this](const char* name, const char* caption, const QKeySequence& key, auto execute) {
        auto* action = new TWindowAction(name, QString::fromUtf8(caption), this);
        action->setShortcut(key);
        action->OnExecute = [this, execute] { (this->*execute)(); };
        addAction(action);
        return action;
    };
    QMenu* file = menuBar()->addMenu(Lang().SectionValue(QStringLiteral("Menu"), QStringLiteral("FileMenu")));
    file->setObjectName(QStringLiteral("FileMenu"));
    TWindowAction* browser = add("mFileNewExpl", "Browser", QKeySequence(Qt::ALT | Qt::Key_N), &TMEditForm::OpenBrowser);
    browser->EnabledWhen = [this] { return ListBrowser() != nullptr; };
    file->addAction(browser);
    file->addAction(add("mOpenFile", "Open...", QKeySequence::Open, &TMEditForm::AskAndOpen));
    file->addAction(add("mSave", "Save", QKeySequence::Save, &TMEditForm::SaveEdits));
    file->addAction(add("mSaveAs", "Save as...", QKeySequence(), &TMEditForm::SaveShownMessageAs));
    file->addSeparator();
    file->addAction(add("mExit", "Close", QKeySequence(Qt::Key_Escape), &QWidget::close));
    QMenu* edit = menuBar()->addMenu(Lang().SectionValue(QStringLiteral("Menu"), QStringLiteral("EditMenu")));
    edit->setObjectName(QStringLiteral("EditMenu"));
    for (QAction* action : CreateEditActions(this)) {
        addAction(action);
        edit->addAction(action);
    }
    QMenu* view = menuBar()->addMenu(Lang().SectionValue(QStringLiteral("Menu"), QStringLiteral("ViewMenu")));
    view->setObjectName(QStringLiteral("ViewMenu"));
    CreateListActions(view);
    view->addSeparator();
    view->addAction(add("aChangeCharset", "Change charset...", QKeySequence(), &TMEditForm::ChangeCharsetCommand));
    QMenu* windows = menuBar()->addMenu(Lang().SectionValue(QStringLiteral("Menu"), QStringLiteral("WindowMenu")));
    windows->setObjectName(QStringLiteral("WindowMenu"));
    SetWindowMenu(windows);
}

void TMEditForm::CreateListActions(QMenu* view)
{
    // The list's own stepping actions, bound to the attached list: without
    // one they are disabled instead of stepping whatever list has the focus.
    const auto add = [this, view](TNextPrevAction* action, const char* name, const char* caption, const QKeySequence& key) {
        action->setObjectName(QString::fromLatin1(name));
        action->setText(QString::fromUtf8(caption));
        CaptionFromMenu(action);
        action->setShortcut(key);
        action->BindTo(nullptr);
        action->OnExecute = [this] { ShowCurrentRow(); };
        addAction(action);
        view->addAction(action);
        return action;
    };
    FPrev = add(new TPrevItemListAction(this), "APrevMesg", "Previoos message", QKeySequence(Qt::CTRL | Qt::Key_Comma));
    FNext = add(new TNextItemListAction(this), "aNextMesg", "Next Message", QKeySequence(Qt::CTRL | Qt::Key_Period));
}

TMesgListView* TMEditForm::AttachedList() const
{
    return FList;
}

QAction* TMEditForm::Action(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

bool TMEditForm::OpenFile(const QString& path)
{
    if (!IsMessageFileName(path) || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FileErrorBox(feOpen, path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    auto source = std::make_shared<TFastMemoryStream>(TFastMemoryStream::BlockSizeFor(bytes.size()));
    source->WriteBuffer(bytes.constData(), bytes.size());
    source->SetPosition(0);
    auto item = std::make_unique<TMesgItem>(FItems.get());
    item->ReadFromStream(*source);
    source->SetPosition(0);
    item->SetSource(std::move(source));
    if (!MayLeaveShownMessage())
        return false;
    FItems->Clear();
    auto* shown = static_cast<TMesgItem*>(FItems->Insert(0, std::move(item)));
    Detach();
    SetFileName(path);
    ShowMessage(*shown, QFileInfo(path).fileName());
    return true;
}

void TMEditForm::ShowListMessage(TMesgListView& list, int row)
{
    TSyncItemRef ref = list.Messages()->ItemRefForRow(row);
    if (!ref)
        return;
    if (!MayLeaveShownMessage()) {
        // The edit stays, and so does the message it belongs to: the list
        // steps back to it.
        if (FList)
            FList->SelectItem(FListItem.Get());
        return;
    }
    FList = &list;
    FPrev->BindTo(&list);
    FNext->BindTo(&list);
    FItems->Clear();
    SetFileName({});
    FListItem = std::move(ref);
    const TTaskForm* owner = qobject_cast<const TTaskForm*>(list.window());
    ShowMessage(*FListItem.As<TMesgItem>(), owner ? owner->CaptionText() : QString());
}

void TMEditForm::ShowCurrentRow()
{
    if (FList)
        ShowListMessage(*FList, FList->ItemIndex());
}

void TMEditForm::ShowMessage(TMesgItem& item, const QString& status)
{
    ShowItem(item, *FEditor);
    statusBar()->showMessage(status);
    RefreshAll();
}

void TMEditForm::Detach()
{
    FList = nullptr;
    FListItem.Reset();
    FPrev->BindTo(nullptr);
    FNext->BindTo(nullptr);
}

TTriForm* TMEditForm::ListBrowser() const
{
    return FList ? qobject_cast<TTriForm*>(FList->window()) : nullptr;
}

void TMEditForm::OpenBrowser()
{
    if (TTriForm* browser = ListBrowser())
        browser->NewBrowser();
}

QString TMEditForm::CaptionText() const
{
    if (FListItem)
        return FListItem.As<TMesgItem>()->Subject();
    return FItems->Count() > 0 ? static_cast<TMesgItem*>(FItems->Item(0))->Subject() : QString();
}

void TMEditForm::AskAndOpen()
{
    const QString path = AskFileName(
        {Lang().CommonText(QStringLiteral("OpenFile")), FileName(), QStringLiteral("*.eml *.msg"), false});
    if (!path.isEmpty())
        OpenFile(path);
}

bool TMEditForm::SaveEdits()
{
    auto* messages = FList ? qobject_cast<TOeMesgItems*>(FList->Messages()) : nullptr;
    if (messages && FListItem)
        return SaveEditedItem(*messages, *FListItem.As<TOeMesgItem>(), *FEditor);
    return SaveShownMessage();
}

void TMEditForm::closeEvent(QCloseEvent* event)
{
    if (!MayLeaveShownMessage()) {
        event->ignore();
        return;
    }
    TCommonForm::closeEvent(event);
}
