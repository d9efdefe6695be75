#include "settings/IniErrors.h"

EStringListError EStringListError::IndexError(int index)
{
    return EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

EStringListError EStringListError::ConversionError(const QString& line)
{
    return EStringListError(QStringLiteral("Invalid conversion WideString:\r\n%1").arg(line));
}
