#pragma once
// TestScript: a script holding commands as a test appends them, without the builder's rules.

#include <initializer_list>
#include <memory>

#include "script/cpvxScriptLoader.h"

namespace morvane::test {

class TestScript : public TvxDBScriptLoader
{
public:
    void Add(std::unique_ptr<TvxCommand> command) { Commands().push_back(std::move(command)); }
    void Add(std::uint8_t kind, std::initializer_list<TvxValue> values)
    {
        Add(std::make_unique<TvxCommand>(kind, values));
    }
};

} // namespace morvane::test
