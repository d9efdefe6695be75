#include "content/spell/SpellSetup.h"

#include "content/spell/SpellChecker.h"
#include "settings/AppPaths.h"
#include "settings/BaseOptions.h"

#include <QDir>

void PrepareSpellChecker(TSpellChecker& checker, TBaseOptions& settings)
{
    checker.SetMainCapacity(TSpellChecker::kMainDictionaryCapacity);
    checker.SetMainDictionary(DataFolder() + QLatin1Char('/') + TSpellChecker::kMainDictionaryName);
    checker.SetCustomDictionary(QDir(settings.OptionsPath()).filePath(TSpellChecker::kCustomDictionaryName));
    settings.LoadSettings(&checker);
}
