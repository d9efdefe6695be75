#include "ui/forms/MEditForm.h"

#include "base/FastMemoryStream.h"
#include "messages/MesgItem.h"
#include "messages/MesgItems.h"
#include "settings/GlobStrings.h"
#include "ui/MessageBoxes.h"
#include "ui/actions/ActionSets.h"
#include "ui/actions/WindowAction.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/mesg/MesgEditor.h"

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
    file->addAction(add("mOpenFile", "Open...", QKeySequence::Open, &TMEditForm::AskAndOpen));
    file->addAction(add("mSave", "Save", QKeySequence::Save, &TMEditForm::Save));
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
    view->addAction(add("aChangeCharset", "Change charset...", QKeySequence(), &TMEditForm::ChangeCharsetCommand));
    QMenu* windows = menuBar()->addMenu(Lang().SectionValue(QStringLiteral("Menu"), QStringLiteral("WindowMenu")));
    windows->setObjectName(QStringLiteral("WindowMenu"));
    SetWindowMenu(windows);
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
    FItems->Clear();
    auto* shown = static_cast<TMesgItem*>(FItems->Insert(0, std::move(item)));
    ShowItem(*shown, *FEditor);
    SetFileName(path);
    statusBar()->showMessage(QFileInfo(path).fileName());
    RefreshAll();
    return true;
}

QString TMEditForm::CaptionText() const
{
    return FItems->Count() > 0 ? static_cast<TMesgItem*>(FItems->Item(0))->Subject() : QString();
}

void TMEditForm::AskAndOpen()
{
    const QString path = AskFileName(
        {Lang().CommonText(QStringLiteral("OpenFile")), FileName(), QStringLiteral("*.eml *.msg"), false});
    if (!path.isEmpty())
        OpenFile(path);
}

void TMEditForm::Save()
{
    if (FileName().isEmpty())
        SaveShownMessageAs();
    else
        SaveShownMessage();
}

void TMEditForm::closeEvent(QCloseEvent* event)
{
    if (!FEditor->ReadOnly() && FEditor->IsModified() && !ConfirmSave()) {
        event->ignore();
        return;
    }
    TCommonForm::closeEvent(event);
}
