#pragma once

#include "base/Exception.h"

#include <QString>

#include <exception>

// Failures of message items and lists.
class EMesgError : public Exception
{
public:
    using Exception::Exception;
};

// The entry of the language section "Error" for a stream or file failure:
// 0 stream, 1 file open, 2 file create, 3 read, 4 write, 5 settings file;
// -1 for anything else.
[[nodiscard]] int FileErrorNumber(std::exception_ptr error);

// The system's reason of a stream or file failure ("No space left on
// device"); empty for anything else.
[[nodiscard]] QString StreamErrorReason(std::exception_ptr error);

// Called inside a catch block, from any thread: queues the failure for the
// main thread's error boxes. A mapped failure is queued as its localised
// text followed by the file name and, in brackets, the system's reason when
// there is one; any other is queued as it is.
void QueueFileError(const QString& fileName);
