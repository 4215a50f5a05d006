#pragma once
// A table's .VAL file: validity checks, table lookups and referential-integrity rules on both
// sides, parsed from a byte buffer and checked against the table's header. A file that is
// damaged or no longer belongs to the table throws EvxEngineError(vxErrInvalidFile).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/ParadoxTableHeader.h"

namespace morvane {

struct ParadoxValCheck
{
    int fieldPosition = 0; // 0-based
    bool required = false;
    std::uint8_t lookupOptions = 0; // bit 0: fill all corresponding fields; bit 1: lookup help
    bool hasLookup = false;
    bool hasMinimum = false;
    bool hasMaximum = false;
    bool hasDefault = false;
    std::string lookupTable;
    std::vector<std::uint8_t> minimum; // record encoding, the field's length
    std::vector<std::uint8_t> maximum;
    std::vector<std::uint8_t> defaultValue;
    std::string picture;
};

// This table is the dependent side.
struct ParadoxDependentRule
{
    std::string name;
    std::string indexName;
    int indexNumber = 0;
    std::string masterTable;
    std::uint32_t updateRule = 0; // 1 cascade, 0 prohibit
    std::vector<int> fields;       // 1-based positions in this table
    std::vector<int> masterFields; // 1-based positions in the master
};

// This table is the master side.
struct ParadoxMasterRule
{
    std::string name;
    std::string dependentTable;
    std::string indexName;
    int indexNumber = 0;
    std::uint16_t updateRule = 0;
    std::vector<int> dependentFields;
};

struct ParadoxValFile
{
    std::uint8_t changeCount = 0;
    std::uint8_t version = 0;
    bool oldFormat = false; // level 3 layout: present but not decoded
    std::vector<ParadoxValCheck> checks;
    std::vector<ParadoxDependentRule> dependentRules;
    std::vector<int> masterKeyFields;
    std::vector<ParadoxMasterRule> masterRules;
};

ParadoxValFile ParseParadoxValFile(const std::uint8_t* data, std::size_t size, const ParadoxTableHeader& table,
                                   const std::string& fileName);

} // namespace morvane
