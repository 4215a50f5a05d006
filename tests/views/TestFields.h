#pragma once
// Tables of fields and a throw-away engine configuration for the views' tests; the shared
// helpers of tests/support come with it.

#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "db/IvxEngine.h"
#include "model/TvxFieldDesc.h"
#include "model/clvxTableDesc.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

namespace morvane::test {

// A new table's descriptor holding these fields.
inline std::unique_ptr<TvxTableDesc> TableWith(std::initializer_list<TvxFieldDesc> fields)
{
    auto desc = std::make_unique<TvxTableDesc>();
    desc->SetFields(std::vector<TvxFieldDesc>(fields));
    return desc;
}

// A real engine over an empty alias configuration in a temporary directory.
struct TestEngine
{
    TempDir dir;
    std::unique_ptr<IvxEngine> engine = CreateParadoxEngine(dir.file("aliases.conf"));
};

} // namespace morvane::test
