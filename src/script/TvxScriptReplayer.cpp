#include "script/TvxScriptReplayer.h"

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptTableList.h"

#include <memory>

namespace morvane {

namespace {

// Name, number, type, size and length from the five parameters from `first` on; the size goes
// into the decimals of a BCD field, into units1 otherwise (as the builder wrote it).
void FillField(TvxFieldDesc& f, const TvxCommand& c, int first)
{
    f.setName(c.ParamText(first + FieldBlockItem::Name));
    f.setFieldNumber(c.ParamInteger(first + FieldBlockItem::Number));
    f.setType(c.ParamInteger(first + FieldBlockItem::Type));
    if (f.type() == fldBcd)
        f.setUnits2(c.ParamInteger(first + FieldBlockItem::Size));
    else
        f.setUnits1(c.ParamInteger(first + FieldBlockItem::Size));
    f.setLength(c.ParamInteger(first + FieldBlockItem::Length));
}

} // namespace

TvxScriptReplayer::TvxScriptReplayer(TvxScriptTableList& tables, SourceLookup sources)
    : tables_(tables), sources_(std::move(sources))
{}

TvxScriptReplayer::Result TvxScriptReplayer::Apply(const TvxCommand& c)
{
    switch (c.Kind()) {
    case ckCreateTable: {
        auto desc = std::make_unique<TvxTableDesc>();
        desc->SetTableName(c.ParamText(CreateTableParam::Table));
        desc->SetExtension("DB");
        desc->SetTableType("PARADOX");
        std::string name = desc->TableName();
        tables_.AddTable(std::move(name), std::move(desc));
        return Applied;
    }
    case ckAddTable: {
        const TvxTableDesc* source = sources_ ? sources_(c.ParamText(AddTableParam::SourceTable)) : nullptr;
        if (!source)
            return MissingSource;
        auto desc = std::make_unique<TvxTableDesc>(source->Clone());
        desc->SetAllNames(c.ParamText(AddTableParam::Table));
        tables_.AddTable(c.ParamText(AddTableParam::Table), std::move(desc));
        return Applied;
    }
    case ckCreateField: {
        TvxFieldDesc f;
        FillField(f, c, CreateFieldParam::Field);
        if (TvxTableDesc* t = tables_.TableByName(c.ParamText(CreateFieldParam::Table)))
            t->InsertField(f, f.fieldNumber() - 1);
        return Applied;
    }
    case ckChangeField: {
        TvxTableDesc* t = tables_.TableByName(c.ParamText(ChangeFieldParam::Table));
        TvxFieldDesc f;
        if (t && t->FindField(c.ParamText(ChangeFieldParam::OldName), f)) {
            FillField(f, c, ChangeFieldParam::NewField);
            t->SetField(f, f.fieldNumber() - 1);
        }
        return Applied;
    }
    case ckMoveField: {
        const TvxTableDesc* source = sources_ ? sources_(c.ParamText(MoveFieldParam::SourceTable)) : nullptr;
        TvxTableDesc* t = tables_.TableByName(c.ParamText(MoveFieldParam::TargetTable));
        TvxFieldDesc f;
        if (source && t && source->FindField(c.ParamText(MoveFieldParam::SourceName), f)) {
            FillField(f, c, MoveFieldParam::TargetField);
            t->InsertField(f, f.fieldNumber() - 1);
        }
        return Applied;
    }
    case ckDeleteField:
        if (TvxTableDesc* t = tables_.TableByName(c.ParamText(DeleteFieldParam::Table)))
            t->DeleteFieldByName(c.ParamText(DeleteFieldParam::FieldName));
        return Applied;
    default:
        return NotATableEdit;
    }
}

} // namespace morvane
