#pragma once
// TvxTablePlan: one table the run writes: its final structure and, for every field, where its
// values come from (a field of the record read, a constant, a value looked up in another
// table, or nothing) and the shapes the value passes through on the way (each Change field
// adds one). The field edits keep the structure whole: field numbers, offsets and record
// size, index key fields, validity checks and rules follow inserted and deleted fields.

#include <string>
#include <string_view>
#include <vector>

#include "model/TvxFieldValue.h"
#include "model/clvxTableDesc.h"
#include "server/vxValueConvert.h"

namespace morvane {

struct TvxFieldOrigin
{
    enum class Kind { Blank, Record, Constant, Moved };
    Kind kind = Kind::Blank;
    int index = -1; // Record: position in the record read; Moved: position in the moved-from table
    int move = -1;  // Moved: position in TvxTablePlan::moves
    TvxFieldValue constant;
    // The shapes the value passes, first the one it is read in; the last is the field's own.
    std::vector<TvxFieldShape> chain;
};

// A field brought in from another table of the source database (Move field): its values are
// found through the primary key of the record being written.
struct TvxMoveLookup
{
    std::string sourceFile; // in the source database
    int sourceField = -1;   // position in the records of that table
    std::string fieldName;  // the field in the target table, for the report
};

struct TvxTablePlan
{
    enum class Origin { None, Source, Target };

    std::string name; // base name of the table (file name without ".DB")
    TvxTableDesc desc;
    Origin origin = Origin::None;
    std::string originFile;     // in the source (Source) or target (Target) directory
    TvxTableDesc originDesc;    // the structure the records are read in
    std::string originPassword; // opens the origin; the problem tables get it
    std::string password;       // the new table's
    std::vector<TvxFieldOrigin> fields;
    std::vector<TvxMoveLookup> moves;
    std::vector<std::string> notes; // in the table's code page
    // The position (1-based) each field a command created, moved in or changed has in the new
    // table once the script is done, as the script records it; by field name.
    std::vector<std::pair<std::string, int>> recordedNumbers;

    std::string FileName() const { return name + ".DB"; }
    int CodePage() const;
    // Position of the field of that name (letter case ignored), -1 when none.
    int FieldPos(std::string_view fieldName) const;
    // Inserts at pos (clamped to the fields there are); a position inside the primary key
    // moves it to just after the key (the key stays the table's first fields) and notes it.
    // Returns the position used.
    int InsertField(int pos, const TvxFieldDesc& field, TvxFieldOrigin origin);
    void DeleteField(int pos);
    // The field at pos takes the new name, type and size; its values follow through one more
    // conversion; its validity check is converted to the new type (parts that do not convert
    // are dropped and noted); a type that cannot be indexed leaves the indexes.
    void ChangeField(int pos, const TvxFieldDesc& field);
    // Records the number a command gives the field called name (replacing an earlier one).
    void RecordNumber(const std::string& name, int number, const std::string& oldName = {});
    // Puts the fields with recorded numbers at those positions, the others in their order
    // around them; keys, checks and rules follow. Left as it is (and noted) when the numbers
    // clash or would move a field into or out of the primary key.
    void ApplyRecordedNumbers();
    // Rules that lost one of their fields are dropped (and noted).
    void DropBrokenRules();
    // Field numbers, offsets, record size and counts made consistent; secondary indexes left
    // without fields are dropped; the level raised to what the types and indexes need.
    void Finish();
};

// The record length of a field of that type and size (0 for an unknown type).
int FieldLength(int type, int size);
// The lowest table level that holds these fields and indexes (4, 5 or 7).
int LevelNeeded(const TvxTableDesc& desc);
// The level a table is written at: its own (4 for a new one), raised to what it needs.
int WrittenLevel(const TvxTableDesc& desc);
// Base name of a table name: a trailing ".DB" (any case) and any directory dropped.
std::string TableBaseName(std::string_view name);

} // namespace morvane
