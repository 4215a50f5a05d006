#pragma once
// Field records and a throw-away engine configuration for the views' tests.

#include <QTemporaryDir>

#include <memory>
#include <string_view>

#include "db/IvxEngine.h"
#include "model/TvxFieldDesc.h"

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

// A real engine over an empty alias configuration in a temporary directory.
struct TestEngine
{
    QTemporaryDir dir;
    std::unique_ptr<IvxEngine> engine = CreateParadoxEngine(dir.filePath("aliases.conf").toStdString());
};

} // namespace morvane::test
