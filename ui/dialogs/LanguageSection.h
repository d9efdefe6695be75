#pragma once

#include "settings/GlobStrings.h"

// Makes a section of the language table the calling thread's current one
// while it lives, so that named and numbered lookups read from it.
class TLanguageSection
{
public:
    explicit TLanguageSection(const QString& name) { Lang().PushSectionByName(name); }
    ~TLanguageSection() { Lang().PopSection(); }
    TLanguageSection(const TLanguageSection&) = delete;
    TLanguageSection& operator=(const TLanguageSection&) = delete;
};
