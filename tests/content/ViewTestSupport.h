#pragma once

#include "content/MimeSource.h"
#include "content/view/ViewOptions.h"
#include "tests/content/ContentTestSupport.h"

#include <QByteArray>
#include <QString>

// A message source held in memory, as a list item holds one.
[[nodiscard]] TSharedSource SourceOf(const QByteArray& bytes);
// A fixture of tests/data/view as a source.
[[nodiscard]] TSharedSource ViewFixture(const char* name);

// The advertisement sample the fixtures' advertisement lines match.
inline const QString kFixtureAdSample = QStringLiteral("GET YOUR FREE MAILBOX AT WWW.EXAMPLEMAIL.INVALID TODAY");
// The default options with that sample.
[[nodiscard]] TViewOptions FixtureOptions();
