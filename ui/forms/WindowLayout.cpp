#include "ui/forms/WindowLayout.h"

#include "settings/BaseOptions.h"
#include "settings/IniFiler.h"
#include "ui/forms/SharedFont.h"
#include "ui/forms/TaskForm.h"

#include <QHash>

namespace {

const QString kManagerSection = QStringLiteral("TaskForm\\ManagerForm");
const QString kFormsCount = QStringLiteral("FormsCount");

QHash<QString, TFormFactory>& FormClasses()
{
    static QHash<QString, TFormFactory> classes;
    return classes;
}

bool& ClosingAll()
{
    static bool closing = false;
    return closing;
}

// "TaskForm\ 0" ... "TaskForm\ 9", "TaskForm\10": the number right-aligned
// in two characters.
QString FormSection(int n)
{
    return QString::asprintf("TaskForm\\%2d", n);
}

void SaveForm(TIniFiler& filer, TTaskForm& form, int n)
{
    filer.SetSection(FormSection(n));
    filer.WriteValue(QStringLiteral("ClassName"), QString::fromLatin1(form.metaObject()->className()));
    const QRect bounds = form.geometry();
    filer.WriteInt(QStringLiteral("Left"), bounds.left());
    filer.WriteInt(QStringLiteral("Top"), bounds.top());
    filer.WriteInt(QStringLiteral("ClientWidth"), bounds.width());
    filer.WriteInt(QStringLiteral("ClientHeight"), bounds.height());
    form.DefineIniProperties(filer);
}

// A key's value, or the fallback when the key is missing.
int ReadIntOr(TIniFiler& filer, const QString& key, int fallback)
{
    return filer.ReadValue(key).isEmpty() ? fallback : filer.ReadInt(key);
}

bool RestoreForm(TIniFiler& filer, int n)
{
    filer.SetSection(FormSection(n));
    const auto factory = FormClasses().constFind(filer.ReadValue(QStringLiteral("ClassName")));
    if (factory == FormClasses().cend())
        return false;
    TTaskForm* form = (*factory)();
    if (!form)
        return false;
    form->show();
    const QRect bounds = form->geometry();
    form->setGeometry(ReadIntOr(filer, QStringLiteral("Left"), bounds.left()),
                      ReadIntOr(filer, QStringLiteral("Top"), bounds.top()),
                      ReadIntOr(filer, QStringLiteral("ClientWidth"), bounds.width()),
                      ReadIntOr(filer, QStringLiteral("ClientHeight"), bounds.height()));
    form->DefineIniProperties(filer);
    return true;
}

} // namespace

void RegisterFormClass(const QString& className, TFormFactory factory)
{
    FormClasses().insert(className, std::move(factory));
}

void SaveWindowLayout()
{
    TBaseOptions* options = BaseOptions();
    QList<TTaskForm*> forms = TTaskForm::Forms();
    forms.removeIf([](const TTaskForm* form) { return !form->MayBeSaved(); });
    // Only windows that are not part of the layout (a message file opened
    // from elsewhere) leave the layout of the last run as it was.
    if (!options || (forms.isEmpty() && !TTaskForm::Forms().isEmpty()))
        return;
    options->RunSettingsPass(false, [options, &forms](TIniFiler& filer) {
        filer.SaveObject(options);
        int count = 0;
        for (TTaskForm* form : forms)
            SaveForm(filer, *form, count++);
        filer.SetSection(kManagerSection);
        SaveSharedFont(filer);
        filer.WriteInt(kFormsCount, count);
    });
}

int RestoreWindowLayout()
{
    TBaseOptions* options = BaseOptions();
    if (!options)
        return 0;
    int restored = 0;
    options->RunSettingsPass(true, [&restored, options](TIniFiler& filer) {
        // The options themselves were read when they were made; their hook
        // brings in what they file beside them (the favourites).
        options->DefineIniProperties(filer);
        filer.SetSection(kManagerSection);
        LoadSharedFont(filer);
        const int count = filer.ReadInt(kFormsCount);
        for (int n = 0; n < count; ++n)
            restored += RestoreForm(filer, n) ? 1 : 0;
    });
    TTaskForm::RefreshAll();
    return restored;
}

void SaveLayoutAndCloseAll()
{
    ClosingAll() = true;
    SaveWindowLayout();
    const QList<TTaskForm*> forms = TTaskForm::Forms();
    for (auto form = forms.crbegin(); form != forms.crend(); ++form) {
        if (!(*form)->close())
            break;
    }
    ClosingAll() = false;
}

bool ClosingAllWindows()
{
    return ClosingAll();
}
