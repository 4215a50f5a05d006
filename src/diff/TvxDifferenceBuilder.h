#pragma once
// TvxDifferenceBuilder: records, through the builder's AddCommand, the commands of one
// comparison as the editor would: it selects the new table and puts the field position where
// the user would click before each field command. Every refusal of the builder is an
// EvxDifferenceError, except a name in use, which only postpones a field command until the
// field holding the name has taken its own new name.

#include "script/cpDBStructScript.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diff/TvxDiffDatabase.h"
#include "diff/TvxDifferenceReport.h"
#include "diff/TvxFieldMatch.h"

namespace morvane {

class TvxScriptTableList;

class TvxDifferenceBuilder
{
public:
    // Neither is owned; the script is linked to the list.
    TvxDifferenceBuilder(TvxDBScript& script, TvxScriptTableList& list);

    void RecordSource(const TvxDiffDatabase& source);
    void RecordTarget(const TvxDiffTarget& target);
    // A table of both databases; renames: those of this table. Returns how its fields matched.
    TvxFieldMatch AddMatched(const TvxTableDesc& source, const TvxTableDesc& wanted,
                             const std::vector<TvxFieldRename>& renames, TvxTableDifference& report);
    // A table only the wanted database holds.
    void AddCreated(const TvxTableDesc& wanted, TvxTableDifference& report);
    // "Add password" for a new table, which is then protected.
    void RecordPassword(const std::string& table, const std::string& password);

private:
    // A field command still to record: the wanted field it makes, and how.
    struct FieldStep
    {
        enum class Kind { Change, Move, Create } kind;
        int wanted;
    };

    int Try(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {});
    void Record(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {});
    // Selects the new table and puts the field position at pos (-1: after the last field).
    void Select(const std::string& table, int pos = -1);
    // Records the steps, each as soon as the names it needs are free; current[w]: the name the
    // wanted field w has in the new table now (empty while it is not there).
    void RecordFieldSteps(const std::string& table, const TvxTableDesc* source, const TvxTableDesc& wanted,
                          const TvxFieldMatch& match, std::vector<FieldStep> steps,
                          std::vector<std::optional<std::string>>& current);
    int TryStep(const std::string& table, const TvxTableDesc* source, const TvxTableDesc& wanted,
                const TvxFieldMatch& match, const FieldStep& step, std::vector<std::optional<std::string>>& current);
    // The position after the nearest field before w (in the wanted order) the table has now.
    int InsertPos(int w, const std::vector<std::optional<std::string>>& current) const;
    // Index, check and rule records of the wanted table on the new table.
    void SetDescriptors(const std::string& table, const TvxTableDesc& wanted);

    TvxDBScript& script_;
    TvxScriptTableList& list_;
};

} // namespace morvane
