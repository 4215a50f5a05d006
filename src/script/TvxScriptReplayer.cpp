#include "script/TvxScriptReplayer.h"

#include <memory>

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptTableList.h"

namespace morvane {

namespace {

// Name, number, type, size and length from the five parameters from `first` on; the size goes
// into the decimals of a BCD field, into units1 otherwise (as the builder wrote it).
void FillField(TvxFieldDesc& f, const TvxCommand& c, int first)
{
    f.setName(c.ParamText(first));
    f.setFieldNumber(c.ParamInteger(first + 1));
    f.setType(c.ParamInteger(first + 2));
    if (f.type() == fldBcd)
        f.setUnits2(c.ParamInteger(first + 3));
    else
        f.setUnits1(c.ParamInteger(first + 3));
    f.setLength(c.ParamInteger(first + 4));
}

} // namespace

TvxScriptReplayer::TvxScriptReplayer(TvxScriptTableList& tables, SourceLookup sources)
    : tables_(tables), sources_(std::move(sources))
{
}

TvxScriptReplayer::Result TvxScriptReplayer::Apply(const TvxCommand& c)
{
    switch (c.Kind()) {
    case ckCreateTable: {
        auto desc = std::make_unique<TvxTableDesc>();
        desc->SetTableName(c.ParamText(0));
        desc->SetExtension("DB");
        desc->SetTableType("PARADOX");
        std::string name = desc->TableName();
        tables_.AddTable(std::move(name), std::move(desc));
        return Applied;
    }
    case ckAddTable: {
        const TvxTableDesc* source = sources_ ? sources_(c.ParamText(1)) : nullptr;
        if (!source)
            return MissingSource;
        auto desc = std::make_unique<TvxTableDesc>(source->Clone());
        desc->SetAllNames(c.ParamText(0));
        tables_.AddTable(c.ParamText(0), std::move(desc));
        return Applied;
    }
    case ckCreateField: {
        TvxFieldDesc f;
        FillField(f, c, 1);
        if (TvxTableDesc* t = tables_.TableByName(c.ParamText(0)))
            t->InsertField(f, f.fieldNumber() - 1);
        return Applied;
    }
    case ckChangeField: {
        TvxTableDesc* t = tables_.TableByName(c.ParamText(0));
        TvxFieldDesc f;
        if (t && t->FindField(c.ParamText(1), f)) {
            FillField(f, c, 6);
            t->SetField(f, f.fieldNumber() - 1);
        }
        return Applied;
    }
    case ckMoveField: {
        const TvxTableDesc* source = sources_ ? sources_(c.ParamText(0)) : nullptr;
        TvxTableDesc* t = tables_.TableByName(c.ParamText(1));
        TvxFieldDesc f;
        if (source && t && source->FindField(c.ParamText(2), f)) {
            FillField(f, c, 7);
            t->InsertField(f, f.fieldNumber() - 1);
        }
        return Applied;
    }
    case ckDeleteField:
        if (TvxTableDesc* t = tables_.TableByName(c.ParamText(0)))
            t->DeleteFieldByName(c.ParamText(1));
        return Applied;
    default:
        return NotATableEdit;
    }
}

} // namespace morvane
