#pragma once
// Field records and a throw-away engine configuration for the views' tests.

#include <QTemporaryDir>

#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "db/IvxEngine.h"
#include "model/TvxFieldDesc.h"
#include "model/clvxTableDesc.h"

namespace morvane::test {

inline TvxFieldDesc MakeField(std::string_view name, int type, int units1 = 0, int units2 = 0)
{
    TvxFieldDesc field{};
    field.setName(name);
    field.setType(type);
    field.setUnits1(units1);
    field.setUnits2(units2);
    return field;
}

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
    QTemporaryDir dir;
    std::unique_ptr<IvxEngine> engine = CreateParadoxEngine(dir.filePath("aliases.conf").toStdString());
};

} // namespace morvane::test
