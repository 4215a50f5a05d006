#include "diff/TvxFieldMatch.h"

#include "model/vxFieldTypes.h"
#include "script/vxNameCompare.h"

#include <algorithm>

#include "diff/EvxDifferenceError.h"

namespace morvane {

namespace {

int PositionOf(const TvxTableDesc& table, std::string_view name)
{
    for (int i = 0; i < table.FieldCount(); ++i)
        if (UpperCaseEqual(table.GetField(i)->name(), name))
            return i;
    return -1;
}

// Marks the longest run of entries of seq (in order) whose values increase: those keep their
// order without moving. seq holds distinct values.
std::vector<bool> LongestIncreasing(const std::vector<int>& seq)
{
    const std::size_t n = seq.size();
    std::vector<int> length(n, 1);
    std::vector<int> previous(n, -1);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (seq[j] < seq[i] && length[j] + 1 > length[i]) {
                length[i] = length[j] + 1;
                previous[i] = static_cast<int>(j);
            }
    std::vector<bool> in(n, false);
    if (n == 0)
        return in;
    int at = static_cast<int>(std::max_element(length.begin(), length.end()) - length.begin());
    for (; at >= 0; at = previous[static_cast<std::size_t>(at)])
        in[static_cast<std::size_t>(at)] = true;
    return in;
}

} // namespace

int ScriptFieldSize(const TvxFieldDesc& field)
{
    return field.type() == fldBcd ? field.units2() : field.units1();
}

bool SameScriptField(const TvxFieldDesc& a, const TvxFieldDesc& b)
{
    return a.name() == b.name() && a.type() == b.type() && ScriptFieldSize(a) == ScriptFieldSize(b);
}

TvxFieldMatch MatchFields(const TvxTableDesc& source, const TvxTableDesc& wanted,
                          const std::vector<TvxFieldRename>& renames)
{
    const int wantedCount = wanted.FieldCount();
    TvxFieldMatch m;
    m.sourceOf.assign(static_cast<std::size_t>(wantedCount), -1);
    m.stays.assign(static_cast<std::size_t>(wantedCount), false);
    std::vector<bool> taken(static_cast<std::size_t>(source.FieldCount()), false);

    for (const TvxFieldRename& r : renames) {
        const int from = PositionOf(source, r.oldName);
        if (from < 0)
            throw EvxDifferenceError("rename " + r.table + "." + r.oldName + "=" + r.newName + ": table " +
                                     source.TableName() + " of the source database has no field " + r.oldName);
        const int to = PositionOf(wanted, r.newName);
        if (to < 0)
            throw EvxDifferenceError("rename " + r.table + "." + r.oldName + "=" + r.newName + ": table " +
                                     wanted.TableName() + " of the wanted database has no field " + r.newName);
        m.sourceOf[static_cast<std::size_t>(to)] = from;
        taken[static_cast<std::size_t>(from)] = true;
    }
    for (int w = 0; w < wantedCount; ++w) {
        if (m.sourceOf[static_cast<std::size_t>(w)] >= 0)
            continue;
        const int s = PositionOf(source, wanted.GetField(w)->name());
        // A source field renamed to another name is taken: this wanted field is then a new one.
        if (s >= 0 && !taken[static_cast<std::size_t>(s)]) {
            m.sourceOf[static_cast<std::size_t>(w)] = s;
            taken[static_cast<std::size_t>(s)] = true;
        }
    }
    for (int s = 0; s < source.FieldCount(); ++s)
        if (!taken[static_cast<std::size_t>(s)])
            m.dropped.push_back(s);

    std::vector<int> order;
    std::vector<int> wantedAt;
    for (int w = 0; w < wantedCount; ++w)
        if (m.sourceOf[static_cast<std::size_t>(w)] >= 0) {
            order.push_back(m.sourceOf[static_cast<std::size_t>(w)]);
            wantedAt.push_back(w);
        }
    const std::vector<bool> keep = LongestIncreasing(order);
    for (std::size_t i = 0; i < keep.size(); ++i)
        m.stays[static_cast<std::size_t>(wantedAt[i])] = keep[i];
    return m;
}

} // namespace morvane
