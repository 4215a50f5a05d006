#pragma once
// The meaning of every parameter position of a script command, per kind. Code names positions
// through these constants (CreateFieldParam::NewValue), never by number. `Supplied` is how many
// parameters the editor hands to the builder; `Count` how many a recorded command of the kind
// holds (the builder appends the rest).

#include "script/TvxCommandKind.h"

namespace morvane {

// Items of a field block (five consecutive parameters), relative to its first position.
struct FieldBlockItem
{
    static constexpr int Name = 0;
    static constexpr int Number = 1;
    static constexpr int Type = 2;
    static constexpr int Size = 3;
    static constexpr int Length = 4;
    static constexpr int Count = 5;
};

// Source database (kind 0) and target database (kind 1). An Add new alias without parameters
// asks for the target to be removed.
struct AliasParam
{
    static constexpr int AliasName = 0;
    static constexpr int DriverName = 1;
    static constexpr int Directory = 2;
    static constexpr int Supplied = 3;
    static constexpr int Count = 3;
};

struct CreateTableParam
{
    static constexpr int Table = 0;
    static constexpr int Supplied = 1;
    static constexpr int Count = 1;
};

struct DeleteTableParam
{
    static constexpr int Table = 0;
    static constexpr int Supplied = 1;
    static constexpr int Count = 1;
};

struct ChangeTableParam
{
    static constexpr int OldName = 0;
    static constexpr int NewName = 1;
    static constexpr int Supplied = 2;
    static constexpr int Count = 2;
};

struct AddTableParam
{
    static constexpr int Table = 0;
    static constexpr int SourceTable = 1;
    static constexpr int Supplied = 1;
    static constexpr int Count = 2;
};

struct CreateFieldParam
{
    static constexpr int Table = 0;
    static constexpr int Field = 1; // field block of the new field
    static constexpr int FieldName = Field + FieldBlockItem::Name;
    static constexpr int FieldNumber = Field + FieldBlockItem::Number;
    static constexpr int NewValue = Field + FieldBlockItem::Count;
    static constexpr int Supplied = 1;
    static constexpr int Count = NewValue + 1;
};

struct ChangeFieldParam
{
    static constexpr int Table = 0;
    static constexpr int OldField = 1; // field block of the field as it was
    static constexpr int OldName = OldField + FieldBlockItem::Name;
    static constexpr int OldNumber = OldField + FieldBlockItem::Number;
    static constexpr int NewField = OldField + FieldBlockItem::Count; // field block of the field as it becomes
    static constexpr int NewName = NewField + FieldBlockItem::Name;
    static constexpr int NewNumber = NewField + FieldBlockItem::Number;
    static constexpr int Supplied = 1;
    static constexpr int Count = NewField + FieldBlockItem::Count;
};

struct DeleteFieldParam
{
    static constexpr int Table = 0;
    static constexpr int FieldName = 1;
    static constexpr int Supplied = 2;
    static constexpr int Count = 2;
};

struct MoveFieldParam
{
    static constexpr int SourceTable = 0; // in the source database, as listed there
    static constexpr int TargetTable = 1; // in the new structure
    static constexpr int SourceField = 2; // field block of the source field
    static constexpr int SourceName = SourceField + FieldBlockItem::Name;
    static constexpr int SourceNumber = SourceField + FieldBlockItem::Number;
    static constexpr int TargetField = SourceField + FieldBlockItem::Count; // field block of the field in the target
    static constexpr int TargetName = TargetField + FieldBlockItem::Name;
    static constexpr int TargetNumber = TargetField + FieldBlockItem::Number;
    static constexpr int Supplied = 2;
    static constexpr int Count = TargetField + FieldBlockItem::Count;
};

struct AddPasswordParam
{
    static constexpr int Table = 0;
    static constexpr int Password = 1;
    static constexpr int Supplied = 2;
    static constexpr int Count = 2;
};

// The most parameters any kind holds (Move field).
inline constexpr int MaxCommandParams = MoveFieldParam::Count;

// The parameter that names the new-structure table a command concerns: the target table of a
// Move field, position 0 for every other kind (a table rename replaces whatever stands there).
constexpr int TableParamOf(int kind)
{
    return kind == ckMoveField ? MoveFieldParam::TargetTable : 0;
}

// First position of the field block that describes a field as it now stands in the new
// structure: the new field of a Create field, the new block of a Change field, the target
// block of a Move field; -1 for every other kind.
constexpr int CurrentFieldBlockOf(int kind)
{
    switch (kind) {
    case ckCreateField:
        return CreateFieldParam::Field;
    case ckChangeField:
        return ChangeFieldParam::NewField;
    case ckMoveField:
        return MoveFieldParam::TargetField;
    default:
        return -1;
    }
}

// Parameters a command of the kind may hold: its Count; for a code without a kind, the most
// any kind holds.
constexpr int MaxParamsOf(int kind)
{
    switch (kind) {
    case ckAddAlias:
    case ckAddNewAlias:
        return AliasParam::Count;
    case ckCreateTable:
        return CreateTableParam::Count;
    case ckDeleteTable:
        return DeleteTableParam::Count;
    case ckChangeTable:
        return ChangeTableParam::Count;
    case ckAddTable:
        return AddTableParam::Count;
    case ckCreateField:
        return CreateFieldParam::Count;
    case ckChangeField:
        return ChangeFieldParam::Count;
    case ckDeleteField:
        return DeleteFieldParam::Count;
    case ckMoveField:
        return MoveFieldParam::Count;
    case ckAddPassword:
        return AddPasswordParam::Count;
    case ckNone:
        return 0;
    default:
        return MaxCommandParams;
    }
}

// Parameters the editor may hand in with a command of the kind (the builder appends the rest).
constexpr int SuppliedParamsOf(int kind)
{
    switch (kind) {
    case ckAddAlias:
    case ckAddNewAlias:
        return AliasParam::Supplied;
    case ckCreateTable:
        return CreateTableParam::Supplied;
    case ckDeleteTable:
        return DeleteTableParam::Supplied;
    case ckChangeTable:
        return ChangeTableParam::Supplied;
    case ckAddTable:
        return AddTableParam::Supplied;
    case ckCreateField:
        return CreateFieldParam::Supplied;
    case ckChangeField:
        return ChangeFieldParam::Supplied;
    case ckDeleteField:
        return DeleteFieldParam::Supplied;
    case ckMoveField:
        return MoveFieldParam::Supplied;
    case ckAddPassword:
        return AddPasswordParam::Supplied;
    default:
        return MaxParamsOf(kind);
    }
}

} // namespace morvane
