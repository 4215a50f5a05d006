#include "db/TvxParadoxEngine.h"

#include "db/ParadoxFieldTypes.h"

namespace morvane {

TvxParadoxEngine::TvxParadoxEngine(std::string configPath) : store_(std::move(configPath)) {}

IvxEngineSession& TvxParadoxEngine::Session(std::string_view name)
{
    auto it = sessions_.find(name);
    if (it == sessions_.end())
        it = sessions_.emplace(std::string(name), std::make_unique<TvxEngineSession>(std::string(name), store_)).first;
    return *it->second;
}

std::vector<TvxFieldTypeRec> TvxParadoxEngine::ListFieldTypes(std::string_view driver, std::string_view)
{
    if (!TvxAliasConfig::SameName(driver, "PARADOX"))
        throw EvxEngineError(vxErrUnknownDriver, "Driver \"" + std::string(driver) + "\" is not available");
    return ParadoxFieldTypes();
}

std::unique_ptr<IvxEngine> CreateParadoxEngine()
{
    return std::make_unique<TvxParadoxEngine>(TvxAliasConfig::DefaultPath());
}

std::unique_ptr<IvxEngine> CreateParadoxEngine(const std::string& configPath)
{
    return std::make_unique<TvxParadoxEngine>(configPath);
}

} // namespace morvane
