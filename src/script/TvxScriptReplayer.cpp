#include "script/TvxScriptReplayer.h"

#include "model/clvxTableDesc.h"
#include "model/vxTextCase.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptTableList.h"
#include "script/vxScriptLimits.h"
#include "stream/EvxStreamError.h"

#include <algorithm>
#include <memory>

namespace morvane {

namespace {

// Removes the field of that name (letter case ignored) from fields; false when none has it.
bool Take(std::vector<TvxFieldDesc>& fields, std::string_view name)
{
    const auto it =
        std::find_if(fields.begin(), fields.end(), [&](const TvxFieldDesc& f) { return SameText(f.name(), name); });
    if (it == fields.end())
        return false;
    fields.erase(it);
    return true;
}

} // namespace

TvxScriptReplayer::TvxScriptReplayer(TvxScriptTableList& tables, SourceLookup sources)
    : tables_(tables), sources_(std::move(sources))
{}

void TvxScriptReplayer::AddTable(std::string_view name, TvxTableDesc&& desc)
{
    if (tables_.Count() >= MaxScriptTables)
        throw EReadError(STooManyTables);
    auto owned = std::make_unique<TvxTableDesc>(std::move(desc));
    fields_[owned.get()] = Fields{owned->Fields(), {}, owned->Fields()};
    tables_.AddNewTable(std::string(name), std::move(owned));
}

TvxScriptReplayer::Fields& TvxScriptReplayer::FieldsOf(const TvxTableDesc& table)
{
    // A table the replayer did not lay out as it stands now (one it did not add, or a new table
    // at the address of one gone) counts as untouched as it stands.
    Fields& fields = fields_[&table];
    if (fields.laidOut != table.Fields())
        fields = Fields{table.Fields(), {}, table.Fields()};
    return fields;
}

void TvxScriptReplayer::LayOut(TvxTableDesc& table, Fields& fields)
{
    std::vector<const TvxFieldDesc*> placed;
    placed.reserve(fields.placed.size());
    for (const TvxFieldDesc& f : fields.placed)
        placed.push_back(&f);
    std::stable_sort(placed.begin(), placed.end(),
                     [](const TvxFieldDesc* a, const TvxFieldDesc* b) { return a->fieldNumber() < b->fieldNumber(); });
    std::vector<TvxFieldDesc> laidOut;
    laidOut.reserve(placed.size() + fields.untouched.size());
    auto nextPlaced = placed.begin();
    auto nextUntouched = fields.untouched.begin();
    while (nextPlaced != placed.end() || nextUntouched != fields.untouched.end()) {
        const int number = static_cast<int>(laidOut.size()) + 1;
        // A placed field whose number is here (or already passed, in a damaged document) comes
        // first; untouched fields fill the rest; placed fields beyond the end follow in order.
        if (nextPlaced != placed.end() &&
            ((*nextPlaced)->fieldNumber() <= number || nextUntouched == fields.untouched.end()))
            laidOut.push_back(**nextPlaced++);
        else
            laidOut.push_back(*nextUntouched++);
    }
    for (std::size_t i = 0; i < laidOut.size(); ++i)
        laidOut[i].setFieldNumber(static_cast<int>(i) + 1);
    table.SetFields(laidOut);
    fields.laidOut = table.Fields();
}

TvxScriptReplayer::Result TvxScriptReplayer::Apply(const TvxCommand& c)
{
    switch (c.Kind()) {
    case ckCreateTable:
        AddTable(c.ParamText(CreateTableParam::Table), TvxTableDesc());
        return Applied;
    case ckAddTable: {
        const TvxTableDesc* source = sources_ ? sources_(c.ParamText(AddTableParam::SourceTable)) : nullptr;
        if (!source)
            return MissingSource;
        AddTable(c.ParamText(AddTableParam::Table), source->Clone());
        return Applied;
    }
    case ckCreateField:
    case ckChangeField:
    case ckMoveField:
    case ckDeleteField:
        break;
    case ckAddAlias:
        if (OnSourceAlias)
            OnSourceAlias(c);
        return NotATableEdit;
    case ckAddNewAlias:
        if (OnTargetAlias)
            OnTargetAlias(c);
        return NotATableEdit;
    default:
        return NotATableEdit;
    }

    TvxTableDesc* table = tables_.TableByName(c.ParamText(TableParamOf(c.Kind())));
    if (!table)
        return Applied;
    Fields& fields = FieldsOf(*table);
    // A full table takes no further field, as its descriptor would refuse it.
    const bool full = fields.placed.size() + fields.untouched.size() >= TvxTableDesc::MaxFields;
    switch (c.Kind()) {
    case ckCreateField:
    case ckMoveField:
        if (full)
            return Applied;
        fields.placed.push_back(FieldFromBlock(c, CurrentFieldBlockOf(c.Kind())));
        break;
    case ckChangeField:
        // A change recorded on its own is that of an untouched field; it is placed from now on.
        if (!Take(fields.untouched, c.ParamText(ChangeFieldParam::OldName)) &&
            !Take(fields.placed, c.ParamText(ChangeFieldParam::OldName)))
            return Applied;
        fields.placed.push_back(FieldFromBlock(c, ChangeFieldParam::NewField));
        break;
    default: // Delete field
        if (!Take(fields.untouched, c.ParamText(DeleteFieldParam::FieldName)) &&
            !Take(fields.placed, c.ParamText(DeleteFieldParam::FieldName)))
            return Applied;
        break;
    }
    LayOut(*table, fields);
    return Applied;
}

} // namespace morvane
