#pragma once
// TvxParadoxTableReader: a directory of Paradox tables read through the engine's Paradox
// database (structure) and record reader, with the passwords given.

#include <memory>
#include <string>
#include <vector>

#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxDirectory.h"
#include "server/IvxTableReader.h"

namespace morvane {

class TvxParadoxTableReader : public IvxTableReader
{
public:
    // Throws EvxEngineError(vxErrDirectory) when the directory cannot be read.
    TvxParadoxTableReader(const std::string& directory, std::vector<std::string> passwords);

    std::string Directory() const override;
    std::optional<std::string> FindTable(std::string_view name) override;
    TvxTableDesc ReadStructure(const std::string& file) override;
    std::string OpeningPassword(const std::string& file) override;
    std::int64_t RecordCount(const std::string& file) override;
    std::unique_ptr<IvxRecordSource> OpenRecords(const std::string& file) override;

private:
    struct HeaderFacts
    {
        std::uint32_t key = 0;
        std::uint32_t records = 0;
    };
    HeaderFacts ReadHeader(const std::string& file);

    std::shared_ptr<std::vector<std::string>> passwords_;
    ParadoxDirectory directory_;
    TvxParadoxDatabase database_;
};

} // namespace morvane
