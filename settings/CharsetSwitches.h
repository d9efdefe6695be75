#pragma once

// Process-wide switches of the automatic Russian charset re-detection: one
// for message bodies ("AutoRus"), one for header fields ("AutoRusHeader").
// The options object sets them; the decoders on any thread read them.

[[nodiscard]] bool AutoRusEnabled();
void SetAutoRusEnabled(bool on);
[[nodiscard]] bool AutoRusHeaderEnabled();
void SetAutoRusHeaderEnabled(bool on);
