#pragma once
// The structure of exported tables as the database exports carry it, before any SQL: the
// fields' names in UTF-8, the primary key, the secondary indexes, the validity checks and the
// rules of the dependent side, resolved against the exported tables. Free functions, no
// state; nothing throws.

#include "model/TvxFieldValue.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/TvxExporter.h"
#include "export/vxExportValues.h"

namespace morvane {

// The tables the database exports add beside the exported ones.
inline constexpr std::string_view vxChecksTable = "_morvane_checks";
inline constexpr std::string_view vxRejectedTable = "_morvane_rejected";

struct TvxExportCheckValue
{
    TvxCheckValue state = TvxCheckValue::None;
    TvxFieldValue value;
};

// One field's validity check: the values its type has (Logical: default only; Autoincrement:
// minimum only; types without a value form: none).
struct TvxExportCheck
{
    std::string field; // UTF-8
    int fieldType = 0;
    bool required = false;
    TvxExportCheckValue minimum;
    TvxExportCheckValue maximum;
    TvxExportCheckValue defaultValue;
    std::string picture; // UTF-8; empty when none
    std::string lookup;  // UTF-8: the table a value must be found in; empty when none
};

struct TvxExportIndex
{
    std::string name; // UTF-8, as the table names it
    bool unique = false;
    bool caseInsensitive = false; // for its text fields
    std::vector<int> fields;      // 0-based
    std::vector<bool> descending; // one per field
};

struct TvxExportForeignKey
{
    std::string name; // UTF-8: the rule's name
    std::vector<int> fields;
    std::size_t master = 0; // the exported table it refers to
    std::vector<int> masterFields;
    bool cascadeUpdate = false; // otherwise restricted
    bool cascadeDelete = false;
};

struct TvxExportSchema
{
    std::vector<std::string> fields; // UTF-8
    std::vector<int> types;
    std::vector<int> checkOf; // per field: its entry in checks; -1 when none
    std::vector<TvxExportCheck> checks;
    std::vector<int> primaryKey; // 0-based fields; empty when none
    std::vector<TvxExportIndex> indexes;
    std::vector<TvxExportForeignKey> foreignKeys;
    // Alpha values compare regardless of letter case (the sort order is not one of the
    // "ascii" orders, which go by byte).
    bool caseInsensitive = false;
};

// The schema of every table, in the same order; a rule whose master table is not exported or
// whose fields are not its master's key, and a key or index over fields the table does not
// have, are left out with a line in warnings.
std::vector<TvxExportSchema> ExportSchemas(const std::vector<TvxExportTable>& tables,
                                           std::vector<std::string>& warnings);

// The statement that makes _morvane_rejected as `name` (quoted, and qualified as need be), if
// it is not there: the table, the record's number, the reason, its values as RecordJson gives them.
std::string RejectedTableSql(const std::string& name);
// The values of a record as a JSON array, in the dump's forms.
std::string RecordJson(const TvxRecord& record, const TvxTableDesc& desc);

// "name" with its quotes doubled, as SQL names are quoted.
std::string SqlName(std::string_view name);
// The names of fields at positions, quoted, separated by ", ".
std::string SqlNames(const std::vector<std::string>& fields, const std::vector<int>& positions);
// The SQL literal of a check's value as the column of fieldType holds it (Logical TRUE or
// FALSE, BCD a number); nothing for one no literal gives.
std::optional<std::string> SqlLiteral(const TvxFieldValue& v, int fieldType, int codePage);
// 'text' with its quotes doubled.
std::string SqlText(std::string_view text);
std::string LowerAscii(std::string_view s);

} // namespace morvane
