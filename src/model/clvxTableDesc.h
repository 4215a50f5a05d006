#pragma once
// TvxTableDesc: one Paradox table's structure in the engine's record layouts: cursor
// properties, table-list record, fields, validity checks, indexes and referential-integrity
// rules. The counts live in the cursor-properties record; the arrays hold only the records in
// use (at most 256 of each kind; AddIndex and AddRefInt stop at 255).
//
// Field numbers are 1-based (field number n is the field at position n - 1); positions of
// fields, indexes and rules 0-based. Names of fields, indexes and rules compare without regard
// to letter case (Windows-1252). Index and rule operations return 0 or a table-descriptor error
// code (TvxDescError); field, check and rule-deletion operations return a Boolean. Positions,
// field numbers and counts out of range (negative, past the end, key or rule field counts above
// 16 in a damaged record) are refused or clamped, never followed. Nothing here throws except
// IndexAt/RefIntAt given a bad position and the streaming operations (TReader errors).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/TvxCursorProps.h"
#include "model/TvxFieldDesc.h"
#include "model/TvxIndexDesc.h"
#include "model/TvxRefIntDesc.h"
#include "model/TvxTableListRec.h"
#include "model/TvxValCheckDesc.h"

namespace morvane {

class TWriter;
class TReader;

// Error codes of the table descriptor and the script builder; each is also a message id.
enum TvxDescError : int {
    vxOK = 0,
    vxErrTableExists = 1,
    vxErrFieldNameInUse = 2,
    vxErrIndexMaxFields = 3,
    vxErrPrimaryKeyOrder = 4,
    vxErrFieldPosOut = 5,
    vxErrIndexPosOut = 6,
    vxErrFieldTypeNotIndexable = 7,
    vxErrPrimaryKeyConvert = 8,
    vxErrIndexSameName = 9,
    vxErrSelfRelation = 10,
    vxErrIndexNameEmpty = 11,
    vxErrRefIntMaxFields = 12,
    vxErrMasterNoPrimaryKey = 13,
    vxErrMaxIndexes = 14,
    vxErrMaxRefInts = 15,
    vxErrIndexUsedByRefInt = 16,
    vxErrNeedsPrimaryKey = 17,
    vxErrRefIntNotFound = 18,
    vxErrRefIntFieldNotFound = 19,
    vxErrIndexNotFound = 20,
    vxErrFieldNotFound = 21,
};

class TvxTableDesc
{
public:
    static constexpr int MaxFields = 256;
    static constexpr int MaxValChecks = 256;
    static constexpr int MaxIndexes = 255;
    static constexpr int MaxRefInts = 255;
    static constexpr int MaxStreamedRecords = 256;

    TvxTableDesc() = default;
    // tableList may be null (then zeroed). Each array holds as many zeroed records as the
    // properties count (at most 256) until the reader replaces it (SetFields, …).
    static TvxTableDesc CreateFromEngine(const TvxTableListRec* tableList, const TvxCursorProps& cursorProps);
    // Same table records, fields, indexes and checks; only dependent rules, their other
    // table cut to its file name.
    TvxTableDesc Clone() const;

    // Records.
    const TvxCursorProps& CursorProps() const { return cursorProps_; }
    TvxCursorProps& CursorProps() { return cursorProps_; }
    const TvxTableListRec& TableList() const { return tableList_; }
    TvxTableListRec& TableList() { return tableList_; }

    // Table texts and flags.
    std::string TableName() const;
    std::string FileName() const;
    void SetTableName(std::string_view name);
    void SetAllNames(std::string_view name);
    void SetTableType(std::string_view type);
    void SetExtension(std::string_view ext);
    bool Protected() const;
    void SetProtected(bool v);
    bool StrictRefInt() const;
    void SetStrictRefInt(bool v);

    // Display texts and properties.
    std::string TableDateText() const;
    std::string TableTimeText() const;
    int RecordSize() const;
    int RecordBufferSize() const;
    int RestructureVersion() const;
    int CodePage() const;
    int TableLevel() const;
    std::string LanguageDriver() const;
    std::string TableTypeName() const;
    int BlockSize() const;

    // Counts: SetXCount(n) clamps n to 0..256 and resizes the array (new records zeroed); the
    // array size always equals the count in the cursor-properties record.

    // Fields.
    int FieldCount() const;
    void SetFieldCount(int n);
    const TvxFieldDesc* GetField(int pos) const;
    bool SetField(const TvxFieldDesc& desc, int pos);
    // Insert and delete keep every field's number equal to its position + 1. Deleting a field
    // also drops the index that a complete rule over that field created for itself (the rule
    // loses the field through RenumberIndexFields and builds its index anew when completed).
    bool InsertField(const TvxFieldDesc& desc, int pos);
    bool DeleteField(int pos);
    void DeleteFieldByName(std::string_view name);
    bool FindField(std::string_view name, TvxFieldDesc& out) const;
    int FieldNumber(std::string_view name) const;
    void ListFieldsNotInIndex(std::vector<std::string>& strings, const TvxIndexDesc& index) const;
    // mode 0: field fieldNo was inserted; mode 1: field fieldNo was deleted. Index key fields,
    // validity checks and the rules' fields in this table follow; the check of a deleted field
    // goes; a rule that loses its field loses that entry and every later one (it is incomplete
    // again).
    void RenumberIndexFields(int fieldNo, int mode);

    // Validity checks.
    int ValCheckCount() const;
    void SetValCheckCount(int n);
    const TvxValCheckDesc* GetValCheck(int pos) const;
    const TvxValCheckDesc* FindValCheck(int fieldNo) const;
    bool AddValCheck(std::string_view minText, std::string_view maxText, const TvxFieldDesc& field, bool required,
                     std::string_view pictureText, std::string_view defaultText);
    bool DeleteValCheck(int fieldNo);

    // Indexes.
    int IndexCount() const;
    void SetIndexCount(int n);
    const TvxIndexDesc* GetIndex(int pos) const;
    bool IsPrimary(int pos) const;
    bool HasPrimaryKey() const;
    bool PrimaryKeyReaches(int n) const;
    bool AllIndexesHaveFields() const;
    int FindIndex(std::string_view name) const;
    int IndexPosByName(std::string_view name) const;
    bool IndexExists(std::string_view name) const;
    std::string NewIndexName() const;
    int CheckIndexInUse(int pos) const;
    int AddIndex(const TvxIndexDesc& desc);
    int DeleteIndex(int pos);
    int AddIndexField(int fieldNo, int pos);
    int RemoveIndexField(int keyPos, int pos);
    int SwapIndexFields(int pos, int keyPosA, int keyPosB);
    int RenameIndex(int pos, std::string_view name);
    // Direct access for editors of index properties (flags); pos must be < IndexCount(), else
    // std::out_of_range is thrown.
    TvxIndexDesc& IndexAt(int pos);

    // Referential integrity.
    int RefIntCount() const;
    void SetRefIntCount(int n);
    const TvxRefIntDesc* GetRefInt(int pos) const;
    const TvxRefIntDesc* FindRefInt(std::string_view name) const;
    int RefIntPosByName(std::string_view name) const;
    bool RefIntExists(std::string_view name) const;
    bool RefIntToTableExists(std::string_view fileName) const;
    std::string NewRefIntName() const;
    int RefIntFilledCount(int pos) const;
    bool AllRefIntsComplete() const;
    int AddRefInt(const TvxRefIntDesc& desc);
    bool DeleteRefInt(int pos);
    // The rule's index (named after its one field, or after the rule) is dropped by
    // SetRefIntMaster and RemoveRefIntField, and renamed by RenameRefInt, only while it carries
    // the rule: an index of that name over other fields is the user's and stays as it is.
    int SetRefIntMaster(int pos, const TvxTableDesc& master);
    // Completing a rule whose index name is taken by an index that carries no rule re-points
    // that index at the rule's fields instead of adding a second index of the name.
    int AddRefIntField(int fieldNo, int pos);
    int RemoveRefIntField(int pos);
    void RenameRefInt(std::string_view oldName, std::string_view newName);
    void ListRuleFields(std::vector<std::string>& strings, int pos) const;
    void ListMasterFields(std::vector<std::string>& strings, const TvxTableDesc& master, int pos) const;
    void ListCompatibleFields(std::vector<std::string>& strings, int pos, const TvxFieldDesc& masterField) const;
    int CheckMasterTables(std::string_view ownName, const std::vector<std::string>& tableNames, bool remove);
    // Direct access for editors of rule properties (update rule); pos must be < RefIntCount(),
    // else std::out_of_range is thrown.
    TvxRefIntDesc& RefIntAt(int pos);

    // Streaming (descriptor record and structure record). ReadDescriptors throws the reader's
    // errors; a count above 256 is refused with EReadError and leaves the descriptor unchanged.
    void WriteDescriptors(TWriter& writer) const;
    void ReadDescriptors(TReader& reader);
    void WriteStructure(TWriter& writer) const;

    // Bulk fill for the engine reader: replaces an array and its count (records past 256 dropped).
    void SetFields(std::vector<TvxFieldDesc> fields);
    void SetIndexes(std::vector<TvxIndexDesc> indexes);
    void SetRefInts(std::vector<TvxRefIntDesc> refInts);
    void SetValChecks(std::vector<TvxValCheckDesc> checks);
    const std::vector<TvxFieldDesc>& Fields() const { return fields_; }
    const std::vector<TvxIndexDesc>& Indexes() const { return indexes_; }
    const std::vector<TvxRefIntDesc>& RefInts() const { return refInts_; }
    const std::vector<TvxValCheckDesc>& ValChecks() const { return valChecks_; }

    // Bytes held by this descriptor, its records and array capacity included.
    std::size_t MemoryUsage() const;

private:
    // Name of field fieldNo; empty for a number outside the table.
    std::string FieldName(int fieldNo) const;
    // Sets the number of every field from position pos on to its position + 1.
    void NumberFieldsFrom(int pos);
    // Validity checks follow an inserted (mode 0) or deleted (mode 1) field fieldNo.
    void RenumberValChecks(int fieldNo, int mode);
    // Drops the index of every complete rule that holds field fieldNo (still in the table).
    void DropRuleIndexesOf(int fieldNo);
    // Key fields of an index and fields of a rule as recorded, at most 16.
    static int KeyCount(const TvxIndexDesc& index);
    static int RuleFieldCount(const TvxRefIntDesc& rule);
    // The index's key fields are exactly the rule's fields in this table (the rule is complete).
    static bool CarriesRule(const TvxIndexDesc& index, const TvxRefIntDesc& rule);
    // The secondary index of that name (any letter case) that carries the rule; -1 when none.
    int RuleIndexPos(const TvxRefIntDesc& rule, std::string_view name) const;

    TvxCursorProps cursorProps_{};
    TvxTableListRec tableList_{};
    std::vector<TvxFieldDesc> fields_;
    std::vector<TvxIndexDesc> indexes_;
    std::vector<TvxRefIntDesc> refInts_;
    std::vector<TvxValCheckDesc> valChecks_;
};

} // namespace morvane
