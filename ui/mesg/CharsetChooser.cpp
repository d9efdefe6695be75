#include "ui/mesg/CharsetChooser.h"

#include "content/Utf16Funcs.h"
#include "ui/mesg/MesgTexts.h"

#include <QInputDialog>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

std::optional<CharsetId> AskCharset(CharsetId current)
{
    QStringList choices;
    FillCharsetChoices(choices);
    const QString section = QStringLiteral("MDialogs");
    bool ok = false;
    const int preselected = std::max(0, CharsetChoiceIndex(CanonicalCharset(current)));
    const QString chosen = QInputDialog::getItem(nullptr, NamedText(section, QStringLiteral("TitleCharset")),
                                                 NamedText(section, QStringLiteral("SelectCharset")), choices,
                                                 preselected, false, &ok);
    if (!ok)
        return std::nullopt;
    return CharsetChoiceAt(static_cast<int>(choices.indexOf(chosen)));
}

TCharsetChooser& Chooser()
{
    static TCharsetChooser chooser = AskCharset;
    return chooser;
}

} // namespace

std::optional<CharsetId> ChooseCharset(CharsetId current)
{
    return Chooser()(current);
}

TCharsetChooser SetCharsetChooser(TCharsetChooser chooser)
{
    return std::exchange(Chooser(), std::move(chooser));
}
