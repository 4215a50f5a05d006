#include "diff/vxTableNotes.h"

#include <algorithm>
#include <type_traits>

#include "diff/vxStructureCompare.h"

namespace morvane {

namespace {

// The source table with the wanted fields, its keys, checks and rules numbered as the wanted
// fields they became; entries of dropped fields go.
TvxTableDesc NumberedAsWanted(const TvxTableDesc& source, const TvxTableDesc& wanted, const TvxFieldMatch& match)
{
    std::vector<int> to(static_cast<std::size_t>(source.FieldCount()) + 1, 0);
    for (std::size_t w = 0; w < match.sourceOf.size(); ++w)
        if (match.sourceOf[w] >= 0)
            to[static_cast<std::size_t>(match.sourceOf[w]) + 1] = static_cast<int>(w) + 1;
    const auto map = [&](int fieldNo) {
        return fieldNo >= 1 && fieldNo < static_cast<int>(to.size()) ? to[static_cast<std::size_t>(fieldNo)] : 0;
    };

    TvxTableDesc out = source;
    out.SetFields(wanted.Fields());
    std::vector<TvxIndexDesc> indexes;
    for (TvxIndexDesc x : source.Indexes()) {
        std::vector<std::pair<int, bool>> keys;
        for (int i = 0; i < std::clamp(x.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields); ++i)
            if (const int n = map(x.keyField(i)))
                keys.emplace_back(n, x.descendingField(i));
        for (int i = 0; i < TvxIndexDesc::MaxKeyFields; ++i) {
            const bool used = i < static_cast<int>(keys.size());
            x.setKeyField(i, used ? keys[static_cast<std::size_t>(i)].first : 0);
            x.setDescendingField(i, used && keys[static_cast<std::size_t>(i)].second);
        }
        x.setKeyFieldCount(static_cast<int>(keys.size()));
        indexes.push_back(x);
    }
    out.SetIndexes(std::move(indexes));
    std::vector<TvxValCheckDesc> checks;
    for (TvxValCheckDesc c : source.ValChecks())
        if (const int n = map(c.fieldNumber())) {
            c.setFieldNumber(n);
            checks.push_back(c);
        }
    out.SetValChecks(std::move(checks));
    std::vector<TvxRefIntDesc> rules;
    for (TvxRefIntDesc r : source.RefInts()) {
        for (int i = 0; i < TvxRefIntDesc::MaxFields; ++i)
            r.setThisField(i, map(r.thisField(i)));
        rules.push_back(r);
    }
    out.SetRefInts(std::move(rules));
    return out;
}

template <class T>
void NoteChange(const char* what, const T& from, const T& to, TvxTableDifference& report, const char* why)
{
    if (from == to)
        return;
    if constexpr (std::is_same_v<T, std::string>)
        report.notes.push_back(std::string(what) + " \"" + from + "\" -> \"" + to + "\" is not carried: " + why);
    else
        report.notes.push_back(std::string(what) + " " + std::to_string(from) + " -> " + std::to_string(to) +
                               " is not carried: " + why);
}

} // namespace

void DescribeTable(const TvxTableDesc* source, const TvxTableDesc& wanted, const TvxFieldMatch& match,
                   TvxTableDifference& report)
{
    for (const TvxStructureDifference& d :
         StructureDifferences(source ? NumberedAsWanted(*source, wanted, match) : TvxTableDesc(), wanted))
        if (d.part != TvxStructureDifference::Part::Fields)
            report.structure.push_back(d.text);

    for (std::size_t w = 0; w < match.sourceOf.size(); ++w)
        if (match.sourceOf[w] < 0) {
            const TvxValCheckDesc* check = wanted.FindValCheck(static_cast<int>(w) + 1);
            if (source && check && check->hasDefault())
                report.notes.push_back("field " + wanted.GetField(static_cast<int>(w))->name() +
                                       " is created with its default value in the existing records");
        }

    if (source) {
        const char* kept = "the table keeps the source's";
        NoteChange("table level", source->TableLevel(), wanted.TableLevel(), report, kept);
        NoteChange("language driver", source->LanguageDriver(), wanted.LanguageDriver(), report, kept);
        NoteChange("block size", source->BlockSize(), wanted.BlockSize(), report, kept);
    } else {
        if (wanted.LanguageDriver() != "ANSIINTL")
            report.notes.push_back("language driver \"" + wanted.LanguageDriver() +
                                   "\" is not carried: a new table gets \"ANSIINTL\"");
    }
}

} // namespace morvane
