#include "server/TvxUpdatePlanner.h"

#include "db/EvxEngineError.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "script/TvxCommand.h"
#include "script/vxCommandParams.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"
#include "server/IvxTableReader.h"

namespace morvane {

namespace {

bool SizeFits(int type, int size)
{
    switch (type) {
    case fldAlpha:
    case fldBytes: return size >= 1 && size <= 255;
    case fldMemo: return size >= 1 && size <= 240;
    case fldBinary: // these blobs may keep nothing in the record itself
    case fldFmtMemo:
    case fldOle:
    case fldGraphic: return size >= 0 && size <= 240;
    case fldBcd: return size >= 0 && size <= 32;
    default: return true;
    }
}

// A source table's structure as a new table starts from it: its rules where it depends on
// another table (the other side follows from those, see TvxPlanRules), its other table named
// by file name.
TvxTableDesc WithDependentRules(const TvxTableDesc& desc)
{
    TvxTableDesc copy = desc;
    std::vector<TvxRefIntDesc> rules;
    for (const TvxRefIntDesc& r : desc.RefInts())
        if (r.kind() == TvxRefIntDesc::Dependent) {
            TvxRefIntDesc d = r;
            d.setOtherTable(StripDirectory(r.otherTable()));
            rules.push_back(d);
        }
    copy.SetRefInts(std::move(rules));
    return copy;
}

} // namespace

void ReadingSource(const std::string& file, const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const EvxEngineError& e) {
        throw EvxRunError(e.Code() == vxErrPasswordRequired ? vxRunPasswordNeeded : vxRunSourceUnreadable,
                          file + ": " + e.what());
    }
}

TvxTablePlan NewTablePlan(const std::string& baseName)
{
    TvxTablePlan plan;
    plan.name = baseName;
    plan.desc.SetAllNames(baseName);
    plan.desc.SetExtension("DB");
    plan.desc.SetTableType("PARADOX");
    TvxCursorProps& p = plan.desc.CursorProps();
    p.setTableLevel(4);
    p.setCodePage(vxNewTableCodePage);
    p.setLanguageDriver("ANSIINTL");
    p.setBlockSizeKb(2);
    return plan;
}

TvxFieldDesc FieldFromBlock(const TvxCommand& c, int first, const std::string& table)
{
    const std::string name = c.ParamText(first + FieldBlockItem::Name);
    const int type = c.ParamInteger(first + FieldBlockItem::Type);
    const int size = c.ParamInteger(first + FieldBlockItem::Size);
    if (name.empty() || FieldLength(type, 0) < 0 || type < fldAlpha || type > fldBcd || !SizeFits(type, size))
        throw EvxRunError(vxRunNotAScript, table + ": field " + name + " of type " + std::to_string(type) +
                                               " and size " + std::to_string(size) + " cannot be held by a table");
    TvxFieldDesc f;
    f.setName(name);
    f.setFieldNumber(c.ParamInteger(first + FieldBlockItem::Number));
    f.setType(type);
    if (type == fldBcd) {
        f.setUnits1(32);
        f.setUnits2(size);
    } else if (TypeNeedsSize(type)) {
        f.setUnits1(size);
    }
    f.setLength(FieldLength(type, size));
    return f;
}

TvxUpdatePlanner::TvxUpdatePlanner(IvxTableReader& source, TvxMoment now) : source_(source), now_(now) {}

TvxTablePlan& TvxUpdatePlanner::PlanOf(const std::string& table)
{
    const std::string base = TableBaseName(table);
    for (TvxTablePlan& p : plans_)
        if (SameText(p.name, base))
            return p;
    throw EvxRunError(vxRunTableNotInScript, table);
}

const TvxTableDesc& TvxUpdatePlanner::SourceTable(const std::string& name, std::string& file)
{
    const std::optional<std::string> found = source_.FindTable(name);
    if (!found)
        throw EvxRunError(vxRunSourceUnreadable, name + ": no such table in " + source_.Directory());
    file = *found;
    auto it = sourceTables_.find(file);
    if (it == sourceTables_.end())
        ReadingSource(file, [&] { it = sourceTables_.emplace(file, source_.ReadStructure(file)).first; });
    return it->second;
}

void TvxUpdatePlanner::Apply(const TvxCommand& c)
{
    switch (c.Kind()) {
    case ckAddAlias:
    case ckAddNewAlias: return; // the server's source and target
    case ckCreateTable: CreateTable(c); return;
    case ckDeleteTable: {
        TvxTablePlan& plan = PlanOf(c.ParamText(DeleteTableParam::Table));
        plans_.erase(plans_.begin() + (&plan - plans_.data()));
        return;
    }
    case ckChangeTable: {
        TvxTablePlan& plan = PlanOf(c.ParamText(ChangeTableParam::OldName));
        plan.name = TableBaseName(c.ParamText(ChangeTableParam::NewName));
        plan.desc.SetAllNames(plan.name);
        return;
    }
    case ckAddTable: AddTable(c); return;
    case ckCreateField: CreateField(c); return;
    case ckChangeField: ChangeField(c); return;
    case ckDeleteField: DeleteField(c); return;
    case ckMoveField: MoveField(c); return;
    case ckAddPassword: {
        // An empty password protects nothing; it never takes the protection off a copied table.
        TvxTablePlan& plan = PlanOf(c.ParamText(AddPasswordParam::Table));
        if (!c.ParamText(AddPasswordParam::Password).empty())
            plan.password = c.ParamText(AddPasswordParam::Password);
        return;
    }
    default:
        throw EvxRunError(vxRunUnknownCommand, "command kind " + std::to_string(c.Kind()));
    }
}

void TvxUpdatePlanner::CreateTable(const TvxCommand& c)
{
    const std::string base = TableBaseName(c.ParamText(CreateTableParam::Table));
    if (base.empty())
        throw EvxRunError(vxRunNotAScript, "Create table without a table name");
    for (const TvxTablePlan& p : plans_)
        if (SameText(p.name, base))
            return; // the table exists already: a second Create table adds nothing
    TvxTablePlan plan = NewTablePlan(base);
    plan.notes.clear();
    plans_.push_back(std::move(plan));
}

void TvxUpdatePlanner::AddTable(const TvxCommand& c)
{
    const std::string base = TableBaseName(c.ParamText(AddTableParam::Table));
    if (base.empty())
        throw EvxRunError(vxRunNotAScript, "Add table without a table name");
    for (const TvxTablePlan& p : plans_)
        if (SameText(p.name, base))
            return;
    std::string file;
    const std::string sourceName = c.ParamText(AddTableParam::SourceTable);
    const TvxTableDesc& source = SourceTable(sourceName.empty() ? base : sourceName, file);
    TvxTablePlan plan;
    plan.name = base;
    plan.origin = TvxTablePlan::Origin::Source;
    plan.originFile = file;
    plan.originDesc = source;
    ReadingSource(file, [&] { plan.originPassword = source_.OpeningPassword(file); });
    plan.password = plan.originPassword;
    plan.desc = WithDependentRules(source);
    plan.desc.SetAllNames(base);
    plan.desc.SetExtension("DB");
    plan.desc.SetTableType("PARADOX");
    const int cp = plan.CodePage();
    for (int i = 0; i < source.FieldCount(); ++i) {
        TvxFieldOrigin o;
        o.kind = TvxFieldOrigin::Kind::Record;
        o.index = i;
        o.chain.push_back(TvxFieldShape::Of(*source.GetField(i), cp));
        plan.fields.push_back(std::move(o));
    }
    plans_.push_back(std::move(plan));
}

void TvxUpdatePlanner::CreateField(const TvxCommand& c)
{
    const std::string table = c.ParamText(CreateFieldParam::Table);
    TvxTablePlan& plan = PlanOf(table);
    const TvxFieldDesc field = FieldFromBlock(c, CreateFieldParam::Field, table);
    if (plan.FieldPos(field.name()) >= 0)
        throw EvxRunError(vxRunFieldExists, table + ": " + field.name());
    TvxFieldOrigin o;
    const TvxFieldShape shape = TvxFieldShape::Of(field, plan.CodePage());
    o.chain.push_back(shape);
    const std::string text = c.ParamText(CreateFieldParam::NewValue);
    if (!text.empty()) {
        o.kind = TvxFieldOrigin::Kind::Constant;
        const TvxConvert r = NewFieldValue(text, shape, now_, o.constant);
        if (r == TvxConvert::Failed)
            plan.notes.push_back("new value \"" + text + "\" of field " + field.name() +
                                 " does not convert to its type: the field stays blank");
        else if (r == TvxConvert::Cut)
            plan.notes.push_back("new value \"" + text + "\" of field " + field.name() + " is stored cut");
    }
    plan.InsertField(c.ParamInteger(CreateFieldParam::FieldNumber) - 1, field, std::move(o));
    plan.RecordNumber(field.name(), c.ParamInteger(CreateFieldParam::FieldNumber));
}

void TvxUpdatePlanner::ChangeField(const TvxCommand& c)
{
    const std::string table = c.ParamText(ChangeFieldParam::Table);
    TvxTablePlan& plan = PlanOf(table);
    const std::string oldName = c.ParamText(ChangeFieldParam::OldName);
    const int pos = plan.FieldPos(oldName);
    if (pos < 0)
        throw EvxRunError(vxRunFieldNotFound, table + ": " + oldName);
    const TvxFieldDesc field = FieldFromBlock(c, ChangeFieldParam::NewField, table);
    const int other = plan.FieldPos(field.name());
    if (other >= 0 && other != pos)
        throw EvxRunError(vxRunFieldExists, table + ": " + field.name());
    plan.ChangeField(pos, field);
    plan.RecordNumber(field.name(), c.ParamInteger(ChangeFieldParam::NewNumber), oldName);
}

void TvxUpdatePlanner::DeleteField(const TvxCommand& c)
{
    const std::string table = c.ParamText(DeleteFieldParam::Table);
    TvxTablePlan& plan = PlanOf(table);
    const std::string name = c.ParamText(DeleteFieldParam::FieldName);
    const int pos = plan.FieldPos(name);
    if (pos < 0)
        throw EvxRunError(vxRunFieldNotFound, table + ": " + name);
    plan.DeleteField(pos);
    plan.RecordNumber(name, 0);
}

void TvxUpdatePlanner::MoveField(const TvxCommand& c)
{
    const std::string table = c.ParamText(MoveFieldParam::TargetTable);
    TvxTablePlan& plan = PlanOf(table);
    std::string file;
    const TvxTableDesc& source = SourceTable(c.ParamText(MoveFieldParam::SourceTable), file);
    const std::string sourceName = c.ParamText(MoveFieldParam::SourceName);
    int sourcePos = -1;
    for (int i = 0; i < source.FieldCount() && sourcePos < 0; ++i)
        if (SameText(source.GetField(i)->name(), sourceName))
            sourcePos = i;
    if (sourcePos < 0)
        throw EvxRunError(vxRunFieldNotFound, file + ": " + sourceName);
    const TvxFieldDesc field = FieldFromBlock(c, MoveFieldParam::TargetField, table);
    if (plan.FieldPos(field.name()) >= 0)
        throw EvxRunError(vxRunFieldExists, table + ": " + field.name());

    TvxFieldOrigin o;
    o.index = sourcePos;
    o.chain.push_back(TvxFieldShape::Of(*source.GetField(sourcePos), source.CodePage()));
    o.chain.push_back(TvxFieldShape::Of(field, plan.CodePage()));
    if (plan.origin == TvxTablePlan::Origin::Source && plan.originFile == file) {
        o.kind = TvxFieldOrigin::Kind::Record; // the same records: no look-up needed
    } else {
        o.kind = TvxFieldOrigin::Kind::Moved;
        o.move = static_cast<int>(plan.moves.size());
        plan.moves.push_back({file, sourcePos, field.name()});
    }
    plan.InsertField(c.ParamInteger(MoveFieldParam::TargetNumber) - 1, field, std::move(o));
    plan.RecordNumber(field.name(), c.ParamInteger(MoveFieldParam::TargetNumber));
}

} // namespace morvane
