#pragma once

#include <QString>

// The store counts as present when its database can be opened or created.
// When it cannot, the program says so on standard error and in a box, and
// start-up ends before anything else exists.
// `product` names the program in the text and captions the box.
[[nodiscard]] bool StorePresent(const QString& product);

// What the start-up box says when the store at `path` cannot be opened for
// `reason` (the store engine's own words).
[[nodiscard]] QString StoreUnavailableText(const QString& product, const QString& path, const QString& reason);
