#pragma once
// The persistent alias configuration that all sessions of one engine share: read from its
// file on first use (a damaged file throws EvxEngineError on every use until it is mended),
// saved at once after every change.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/TvxAliasConfig.h"

namespace morvane {

class TvxAliasStore
{
public:
    explicit TvxAliasStore(std::string path) : path_(std::move(path)) {}

    // Loads when not loaded yet.
    const TvxAliasConfig& Config();
    // Applies the change to a copy, saves it, then keeps it: a failed save changes nothing.
    void Modify(std::string_view alias, const std::vector<std::string>& params);
    // Answers whether the alias existed (and the file was rewritten).
    bool Remove(std::string_view alias);

private:
    std::string path_;
    std::optional<TvxAliasConfig> config_;
};

} // namespace morvane
