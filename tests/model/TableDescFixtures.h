#pragma once
// Builders of small table descriptors for the descriptor tests.

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "support/TestFields.h"

namespace morvane::testing {

using test::MakeField;

// prefix followed by n, as in "F12".
inline std::string Numbered(std::string_view prefix, int n)
{
    std::string text(prefix);
    text += std::to_string(n);
    return text;
}

// A table named name (file name + extension "DB") with the given fields in order.
inline TvxTableDesc MakeTable(std::string_view name, std::initializer_list<std::pair<std::string_view, int>> fields)
{
    TvxTableDesc desc;
    desc.SetAllNames(name);
    desc.SetExtension("DB");
    int no = 1;
    for (const auto& [fieldName, type] : fields) {
        desc.InsertField(MakeField(fieldName, no, type), desc.FieldCount());
        ++no;
    }
    return desc;
}

inline TvxIndexDesc MakeIndex(std::string_view name, std::initializer_list<int> keys = {}, bool primary = false)
{
    TvxIndexDesc index;
    index.setName(name);
    index.setPrimary(primary);
    int k = 0;
    for (int no : keys)
        index.setKeyField(k++, no);
    index.setKeyFieldCount(k);
    return index;
}

// Adds a primary key over fields 1..n through the descriptor's own operations.
inline void AddPrimaryKey(TvxTableDesc& desc, int n)
{
    desc.AddIndex(MakeIndex("NewIndex1"));
    const int pos = desc.IndexCount() - 1;
    desc.RenameIndex(pos, "PRIMARY");
    for (int no = 1; no <= n; ++no)
        desc.AddIndexField(no, pos);
}

inline TvxRefIntDesc MakeRule(std::string_view name)
{
    TvxRefIntDesc rule;
    rule.setName(name);
    return rule;
}

} // namespace morvane::testing
