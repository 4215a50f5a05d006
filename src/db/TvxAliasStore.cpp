#include "db/TvxAliasStore.h"

namespace morvane {

const TvxAliasConfig& TvxAliasStore::Config()
{
    if (!config_)
        config_ = TvxAliasConfig::Load(path_);
    return *config_;
}

void TvxAliasStore::Modify(std::string_view alias, const std::vector<std::string>& params)
{
    TvxAliasConfig changed = Config();
    changed.Modify(alias, params);
    changed.Save(path_);
    config_ = std::move(changed);
}

bool TvxAliasStore::Remove(std::string_view alias)
{
    TvxAliasConfig changed = Config();
    if (!changed.Remove(alias))
        return false;
    changed.Save(path_);
    config_ = std::move(changed);
    return true;
}

} // namespace morvane
