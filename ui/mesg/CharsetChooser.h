#pragma once

#include "content/CharsetNames.h"

#include <functional>
#include <optional>

// The charset dialog: a drop-down list of the charsets a user can pick,
// the given one's group preselected. Returns the chosen charset, or none
// when the user cancels.
[[nodiscard]] std::optional<CharsetId> ChooseCharset(CharsetId current);
// Tests replace the dialog; returns the previous handler.
using TCharsetChooser = std::function<std::optional<CharsetId>(CharsetId current)>;
TCharsetChooser SetCharsetChooser(TCharsetChooser chooser);
