#pragma once
// Records of a source in which a damaged value costs only its own field: where the source can
// go on after a fault (IvxRecordSource::Resumable), the record comes through with that value
// blank and onDamage gets the source's message; other faults pass on. Notes pass through.

#include "db/IvxRecordSource.h"

#include <functional>
#include <string>

namespace morvane {

class TvxResumingRecords : public IvxRecordSource
{
public:
    TvxResumingRecords(IvxRecordSource& records, std::function<void(const std::string&)> onDamage)
        : records_(records), onDamage_(std::move(onDamage))
    {}
    bool Next(TvxRecord& record) override;
    std::vector<std::string> TakeNotes() override { return records_.TakeNotes(); }

private:
    IvxRecordSource& records_;
    std::function<void(const std::string&)> onDamage_;
};

} // namespace morvane
