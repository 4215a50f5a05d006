#include "db/TvxEngineSession.h"

#include <algorithm>
#include <filesystem>

#include "db/TvxParadoxDatabase.h"
#include "platform/vxPath.h"

namespace morvane {

namespace {

bool knownDriver(std::string_view driver)
{
    return driver.empty() || TvxAliasConfig::SameName(driver, "STANDARD") ||
           TvxAliasConfig::SameName(driver, "PARADOX");
}

void checkDriver(const TvxStringList& params, std::string_view key, std::string_view owner)
{
    std::string driver;
    if (TvxAliasConfig::ParamValue(params, key, driver) && !knownDriver(driver))
        throw EvxEngineError(vxErrUnknownDriver,
                             "Driver \"" + driver + "\" of " + std::string(owner) + " is not available");
}

} // namespace

TvxEngineSession::TvxEngineSession(std::string name, TvxAliasStore& store) : name_(std::move(name)), store_(store)
{
}

TvxStringList TvxEngineSession::AliasNames()
{
    TvxStringList names = store_.Config().Names();
    for (const auto& n : local_.Names())
        if (!store_.Config().Find(n))
            names.push_back(n);
    return names;
}

TvxStringList TvxEngineSession::DriverNames()
{
    // Paradox tables are read by the standard driver; this engine has no other driver.
    return {"STANDARD"};
}

TvxStringList TvxEngineSession::AliasParams(std::string_view alias)
{
    if (const auto* a = local_.Find(alias))
        return a->params;
    if (const auto* a = store_.Config().Find(alias))
        return a->params;
    throw EvxEngineError(vxErrUnknownAlias, "Unknown alias: " + std::string(alias));
}

void TvxEngineSession::ModifyAlias(std::string_view alias, const TvxStringList& params)
{
    if (persistent_) {
        store_.Modify(alias, params);
        local_.Remove(alias);
        return;
    }
    if (!local_.Find(alias)) {
        // A session-only change starts from the alias as configured.
        TvxAliasConfig copy = local_;
        if (const auto* a = store_.Config().Find(alias))
            copy.Modify(a->name, a->params);
        copy.Modify(alias, params);
        local_ = std::move(copy);
        return;
    }
    local_.Modify(alias, params);
}

void TvxEngineSession::DeleteAlias(std::string_view alias)
{
    local_.Remove(alias);
    store_.Remove(alias);
}

void TvxEngineSession::AddPassword(std::string_view password)
{
    if (std::find(passwords_->begin(), passwords_->end(), password) == passwords_->end())
        passwords_->emplace_back(password);
}

std::unique_ptr<IvxEngineDatabase> TvxEngineSession::OpenDatabase(const TvxDatabaseParams& params)
{
    std::string directory;
    if (!params.aliasName.empty()) {
        const TvxStringList lines = AliasParams(params.aliasName);
        const std::string owner = "alias " + params.aliasName;
        checkDriver(lines, "TYPE", owner);
        checkDriver(lines, "DEFAULT DRIVER", owner);
        if (!TvxAliasConfig::ParamValue(lines, "PATH", directory) || directory.empty())
            throw EvxEngineError(vxErrDirectory, "Alias " + params.aliasName + " has no PATH");
    } else {
        checkDriver(params.params, "DEFAULT DRIVER", "the database");
        if (!TvxAliasConfig::ParamValue(params.params, "PATH", directory) || directory.empty())
            throw EvxEngineError(vxErrDirectory, "No alias and no PATH given for the database");
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(vxPath(directory), ec))
        throw EvxEngineError(vxErrDirectory, "Directory not found: " + directory);
    return std::make_unique<TvxParadoxDatabase>(directory, passwords_);
}

} // namespace morvane
