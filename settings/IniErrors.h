#pragma once

#include "base/Exception.h"

// Errors of the ini layers. Their texts are the system's own (not
// translated), because they can occur while the language table itself is
// being loaded.

// A string table was asked for an entry it does not hold, or a language
// file holds a line that is not an ini line.
class EStringListError : public Exception
{
public:
    using Exception::Exception;

    // "List index out of bounds (%d)" with the index.
    [[nodiscard]] static EStringListError IndexError(int index);
    // "Invalid conversion WideString:\r\n%s" with the offending line.
    [[nodiscard]] static EStringListError ConversionError(const QString& line);
};

// The settings file could not be read, parsed or written. Maps to entry 5
// of the language section "Error" when it is reported.
class EIniFileError : public Exception
{
public:
    using Exception::Exception;
};

// A property name that the object does not publish.
class EPropertyError : public Exception
{
public:
    using Exception::Exception;
};
