#pragma once

#include <QString>

// The named entry of a language section; empty when the file lacks it.
[[nodiscard]] QString NamedText(const QString& section, const QString& key);
// The caption of a "MesgEditor" key ("Body", "Attach" ...).
[[nodiscard]] inline QString EditorText(const QString& key)
{
    return NamedText(QStringLiteral("MesgEditor"), key);
}
