#pragma once
// Shared by the script benchmarks: the Alpha field and the table names their scripts use.

#include <string>

#include "model/TvxFieldDesc.h"

namespace morvane::bench {

inline constexpr int kTables = 100;

inline TvxFieldDesc Field(const std::string& name, int number)
{
    TvxFieldDesc f;
    f.setName(name);
    f.setFieldNumber(number);
    f.setType(257);
    f.setUnits1(20);
    f.setLength(20);
    return f;
}

inline std::string TableName(int t)
{
    return "TABELA" + std::to_string(t);
}

} // namespace morvane::bench
