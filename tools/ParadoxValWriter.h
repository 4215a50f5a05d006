#pragma once
// Writes a table's .VAL file (validity checks and both sides of referential-integrity rules)
// in the layout of level 4 and later tables. The file's identity (change count, version,
// update time, field ids and types) is copied from the table's .DB header, so the engine
// accepts the file as belonging to that table. Values are given in record encoding
// (ParadoxDiskValues.h). Returns false with a message on stderr when something fails.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace example {

using DiskValue = std::vector<std::uint8_t>;

struct ValCheckSpec
{
    int field = 0; // 1-based
    bool required = false;
    std::optional<DiskValue> minimum;
    std::optional<DiskValue> maximum;
    std::optional<DiskValue> defaultValue;
    std::string picture;
};

// This table is the dependent: its fields point at the master's key.
struct DependentRuleSpec
{
    std::string name;
    std::string indexName; // secondary index of this table that supports the rule
    int indexNumber = 0;   // the field position for an Xnn index, 0 for XGn
    std::string masterTable; // file name, e.g. "CLIENTES.DB"
    bool cascade = false;    // update rule: cascade, else prohibit
    std::vector<int> fields;       // 1-based, this table
    std::vector<int> masterFields; // 1-based, the master's key
};

// This table is the master of a rule; the dependent's side names its fields.
struct MasterRuleSpec
{
    std::string name;
    std::string dependentTable;
    std::string indexName;
    int indexNumber = 0;
    bool cascade = false;
    std::vector<int> dependentFields;
};

struct ValFileSpec
{
    std::vector<ValCheckSpec> checks;
    std::vector<DependentRuleSpec> dependentRules;
    std::vector<int> masterKey; // this table's key fields, when it is a master
    std::vector<MasterRuleSpec> masterRules;
};

// fieldNames: the table's field names in its code page, as the .DB holds them.
bool WriteParadoxVal(const std::filesystem::path& dbFile, const std::vector<std::string>& fieldNames,
                     const ValFileSpec& spec);

} // namespace example
