#pragma once
// A stream of records in field order, read one at a time so that memory does not grow with
// the number of records. The table reader is one; the writer takes one; the update server
// chains converters between them.

#include <string>
#include <vector>

#include "model/TvxFieldValue.h"

namespace morvane {

class IvxRecordSource
{
public:
    virtual ~IvxRecordSource() = default;
    // Fills record (resized to the field count) with the next record; false at the end.
    // Throws EvxEngineError, naming the file and the fault, on damaged data.
    virtual bool Next(TvxRecord& record) = 0;
    // After Next threw: true when the fault lay in values of one record, which was passed
    // (filled, those values blank), so Next may go on with the following record; false when
    // the source cannot go on.
    virtual bool Resumable() const { return false; }
    // What the records read so far carried that is worth telling (values read only in part),
    // one line each, each said once: the call takes them.
    virtual std::vector<std::string> TakeNotes() { return {}; }
};

} // namespace morvane
