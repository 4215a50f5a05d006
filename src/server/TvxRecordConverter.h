#pragma once
// TvxRecordConverter: the records of a planned table, one at a time, made from the records of
// its origin: every value converted along its field's chain, new fields filled, moved fields
// looked up, blank autoincrement values numbered. A record is written only when it keeps the
// new validity checks (required, minimum, maximum, picture) and rules and its key is not taken by an
// earlier one; otherwise the original record is kept aside, in Problems() (a check) or in
// KeyViolations() (a rule or a duplicate key). A record written with a value carried only cut
// is also kept, whole and as read, in Problems(). The report counts all of it.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/IvxRecordSource.h"
#include "script/TvxUpdateReport.h"
#include "server/TvxKeptRecords.h"
#include "server/TvxTablePlan.h"
#include "server/vxRecordKey.h"

namespace morvane {

// A dependent rule of the table: the values of its fields must be a key of the master.
struct TvxRuleCheck
{
    std::string name;
    std::vector<int> positions;
    const TvxKeySet* masterKeys = nullptr;
};

// The values of a moved field, by the key the table's records carry.
using TvxMoveValues = std::unordered_map<std::string, TvxFieldValue>;

class TvxRecordConverter : public IvxRecordSource
{
public:
    // Neither the plan, the origin nor the report is owned; all outlive the converter.
    TvxRecordConverter(const TvxTablePlan& plan, IvxRecordSource& origin, TvxTableUpdateReport& report);

    void SetRules(std::vector<TvxRuleCheck> rules) { rules_ = std::move(rules); }
    // One map per move of the plan, found through the table's primary key (keyPositions);
    // an empty keyPositions means the values cannot be matched.
    void SetMoves(std::vector<TvxMoveValues> moves, std::vector<int> keyPositions);
    // Blank values of the autoincrement field at pos are numbered from next on.
    void SetAutoIncStart(int pos, std::int64_t next);
    // Collects the primary keys of the records written (for the rules of dependent tables).
    void KeepKeys(TvxKeySet* keys) { keptKeys_ = keys; }
    void SetProgress(std::function<void(std::int64_t read)> onRead) { onRead_ = std::move(onRead); }
    // Room for the keys of that many records.
    void ExpectRecords(std::int64_t count);

    bool Next(TvxRecord& record) override;

    TvxKeptRecords& Problems() { return problems_; }
    TvxKeptRecords& KeyViolations() { return keyViolations_; }
    std::int64_t Unmatched() const { return unmatched_; }

    // Positions of the primary key's fields in the plan's records.
    static std::vector<int> PrimaryKeyPositions(const TvxTableDesc& desc);

private:
    struct Check
    {
        int pos = -1;
        bool required = false;
        bool hasMinimum = false;
        bool hasMaximum = false;
        TvxFieldValue minimum;
        TvxFieldValue maximum;
        std::string picture; // empty: not checked
    };
    struct UniqueIndex
    {
        std::string name;
        std::vector<int> positions;
        const std::uint8_t* upper = nullptr; // case-insensitive: the driver's capitals
        TvxKeySet keys;
    };

    void PrepareChecks();
    // Fills out from in; false when the record is set aside.
    bool Convert(const TvxRecord& in, TvxRecord& out);
    TvxConvert Carry(const TvxFieldValue& value, const TvxFieldOrigin& origin, TvxFieldValue& out) const;
    void NoteCut(int pos, const TvxFieldValue& original, const TvxFieldShape& from, const TvxFieldValue& stored);
    std::string FieldName(int pos) const;

    const TvxTablePlan& plan_;
    IvxRecordSource& origin_;
    TvxTableUpdateReport& report_;
    std::vector<TvxFieldValue> constants_;      // per field: the constant as the field holds it
    std::vector<Check> checks_;
    std::vector<int> primary_;
    // The origin's own key carried unchanged cannot repeat: its keys need no set.
    bool primaryUnique_ = false;
    TvxKeySet primaryKeys_;
    std::vector<UniqueIndex> unique_;
    std::vector<TvxRuleCheck> rules_;
    std::vector<TvxMoveValues> moves_;
    std::vector<int> moveKey_;
    std::vector<std::pair<int, std::int64_t>> autoInc_;
    TvxKeySet* keptKeys_ = nullptr;
    std::function<void(std::int64_t)> onRead_;
    TvxKeptRecords problems_;
    TvxKeptRecords keyViolations_;
    std::int64_t unmatched_ = 0;
    TvxRecord in_;
    std::string key_;
};

} // namespace morvane
