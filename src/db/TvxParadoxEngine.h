#pragma once
// Our engine: named sessions over one alias configuration file, databases read by our
// Paradox reader. CreateParadoxEngine (IvxEngine.h) makes one.

#include <map>
#include <memory>
#include <string>

#include "db/IvxEngine.h"
#include "db/TvxAliasStore.h"
#include "db/TvxEngineSession.h"

namespace morvane {

class TvxParadoxEngine : public IvxEngine
{
public:
    explicit TvxParadoxEngine(std::string configPath);

    IvxEngineSession& Session(std::string_view name) override;
    std::vector<TvxFieldTypeRec> ListFieldTypes(std::string_view driver, std::string_view tableType) override;

private:
    TvxAliasStore store_;
    std::map<std::string, std::unique_ptr<TvxEngineSession>, std::less<>> sessions_;
};

} // namespace morvane
