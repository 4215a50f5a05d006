#include "db/TvxResumingRecords.h"

#include "db/EvxEngineError.h"

namespace morvane {

bool TvxResumingRecords::Next(TvxRecord& record)
{
    try {
        return records_.Next(record);
    } catch (const EvxEngineError& e) {
        if (!records_.Resumable())
            throw;
        onDamage_(e.what());
        return true;
    }
}

} // namespace morvane
