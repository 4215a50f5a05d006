#pragma once
// One named session of our engine. Aliases live in the engine's shared configuration file;
// a session not in persistent mode keeps its alias changes to itself. The session's passwords
// are shared with every database it opens, so a password added later opens their tables too.

#include <memory>
#include <string>
#include <vector>

#include "db/IvxEngine.h"
#include "db/TvxAliasConfig.h"
#include "db/TvxAliasStore.h"

namespace morvane {

class TvxEngineSession : public IvxEngineSession
{
public:
    // store is not owned and outlives the session.
    TvxEngineSession(std::string name, TvxAliasStore& store);

    std::string Name() const override { return name_; }
    void SetPersistentConfigMode() override { persistent_ = true; }
    TvxStringList AliasNames() override;
    TvxStringList DriverNames() override;
    TvxStringList AliasParams(std::string_view alias) override;
    void ModifyAlias(std::string_view alias, const TvxStringList& params) override;
    void DeleteAlias(std::string_view alias) override;
    void AddPassword(std::string_view password) override;
    std::unique_ptr<IvxEngineDatabase> OpenDatabase(const TvxDatabaseParams& params) override;

private:
    std::string name_;
    TvxAliasStore& store_;
    bool persistent_ = false;
    TvxAliasConfig local_;
    std::shared_ptr<std::vector<std::string>> passwords_ = std::make_shared<std::vector<std::string>>();
};

} // namespace morvane
