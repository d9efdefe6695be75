#include "ui/spell/SharedSpellChecker.h"

#include "content/spell/SpellSetup.h"
#include "settings/BaseOptions.h"
#include "ui/spell/RichSpellChecker.h"

#include <QCoreApplication>

namespace {

std::shared_ptr<TRichSpellCheckerDlg>& Shared()
{
    static std::shared_ptr<TRichSpellCheckerDlg> checker;
    return checker;
}

} // namespace

std::shared_ptr<TRichSpellCheckerDlg> SharedSpellCheckerRef()
{
    std::shared_ptr<TRichSpellCheckerDlg>& shared = Shared();
    if (!shared) {
        auto checker = std::make_shared<TRichSpellCheckerDlg>();
        if (TBaseOptions* settings = BaseOptions())
            PrepareSpellChecker(*checker, *settings);
        shared = std::move(checker);
        // The checker keeps its dialog, a window: it must go while the
        // application object still stands, which its post routines do.
        static const bool freedAtTheEnd = [] {
            qAddPostRoutine(FreeSharedSpellChecker);
            return true;
        }();
        Q_UNUSED(freedAtTheEnd);
    }
    return shared;
}

TRichSpellCheckerDlg& SharedSpellChecker()
{
    return *SharedSpellCheckerRef();
}

bool SharedSpellCheckerExists()
{
    return Shared() != nullptr;
}

void FreeSharedSpellChecker()
{
    Shared().reset();
}
