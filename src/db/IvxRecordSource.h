#pragma once
// A stream of records in field order, read one at a time so that memory does not grow with
// the number of records. The table reader is one; the writer takes one; the update server
// chains converters between them.

#include "model/TvxFieldValue.h"

namespace morvane {

class IvxRecordSource
{
public:
    virtual ~IvxRecordSource() = default;
    // Fills record (resized to the field count) with the next record; false at the end.
    // Throws EvxEngineError, naming the file and the fault, on damaged data.
    virtual bool Next(TvxRecord& record) = 0;
};

} // namespace morvane
