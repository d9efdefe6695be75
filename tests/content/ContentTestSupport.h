#pragma once

#include "content/CharsetNames.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

// Fixes the process-wide state the converters read: the system code page and
// the two Russian re-detection switches. Each test starts from code page
// 1252 with both switches off; the previous state comes back afterwards.
class TContentTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};

// Text from UTF-16 literals (u"..."), NUL units included.
[[nodiscard]] QString U(std::u16string_view units);
// The identifier of a charset name.
[[nodiscard]] CharsetId Id(const char* name);

// Bytes from a string of hexadecimal pairs ("C3 A9").
[[nodiscard]] QByteArray Hex(const char* pairs);
// UTF-16 code units, for readable failure output of non-Latin text.
[[nodiscard]] std::string Units(const QString& text);

// How GoogleTest prints the Qt string types in failure messages.
void PrintTo(const QString& text, std::ostream* os);
void PrintTo(const QByteArray& bytes, std::ostream* os);
