#pragma once

#include <QByteArray>
#include <QDateTime>

// The date a message was received: the date after the last ';' of its
// topmost "Received:" header. Invalid when there is none or it cannot be read.
[[nodiscard]] QDateTime ReceivedDateOf(const QByteArray& source);
