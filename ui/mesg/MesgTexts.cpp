#include "ui/mesg/MesgTexts.h"

#include "settings/GlobStrings.h"

QString NamedText(const QString& section, const QString& key)
{
    TGlobStrings& lang = Lang();
    return lang.NamedValue(lang.SectionIndexOf(section), key);
}
