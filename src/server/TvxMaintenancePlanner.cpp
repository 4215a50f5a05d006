#include "server/TvxMaintenancePlanner.h"

#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"
#include "server/IvxTableReader.h"
#include "server/TvxUpdatePlanner.h"

namespace morvane {

namespace {

void CheckField(const TvxFieldDesc& f, const std::string& table)
{
    const int type = f.type();
    const int size = type == fldBcd ? f.units2() : f.units1();
    // Blobs other than Memo may keep nothing in the record itself (size 0).
    const bool emptyBlob = type >= fldBinary && type <= fldGraphic;
    const int least = type == fldBcd || emptyBlob ? 0 : 1;
    const bool sized = !TypeNeedsSize(type) || (size >= least && size <= (type == fldBcd ? 32 : 255));
    if (f.name().empty() || type < fldAlpha || type > fldBcd || !sized)
        throw EvxRunError(vxRunNotAScript, table + ": field " + f.name() + " of type " + std::to_string(type) +
                                               " cannot be held by a table");
}

} // namespace

TvxMaintenancePlanner::TvxMaintenancePlanner(IvxTableReader* target) : target_(target) {}

void TvxMaintenancePlanner::Add(const TvxTableDesc& structure)
{
    std::string name = structure.TableName();
    if (name.empty())
        name = structure.TableList().fileName();
    const std::string base = TableBaseName(name);
    if (base.empty())
        throw EvxRunError(vxRunNotAScript, "a table of the maintenance script has no name");
    for (const TvxTablePlan& p : plans_)
        if (SameText(p.name, base))
            throw EvxRunError(vxRunNotAScript, base + ": the maintenance script describes the table twice");
    for (int i = 0; i < structure.FieldCount(); ++i)
        CheckField(*structure.GetField(i), base);

    const std::optional<std::string> file = target_ ? target_->FindTable(base) : std::nullopt;
    TvxTablePlan plan = NewTablePlan(base);
    plan.desc.SetFields(structure.Fields());
    plan.desc.SetIndexes(structure.Indexes());
    plan.desc.SetValChecks(structure.ValChecks());
    plan.desc.SetRefInts(structure.RefInts());

    if (file) {
        TvxTableDesc existing;
        ReadingSource(*file, [&] {
            existing = target_->ReadStructure(*file);
            plan.originPassword = target_->OpeningPassword(*file);
        });
        plan.origin = TvxTablePlan::Origin::Target;
        plan.originFile = *file;
        plan.password = plan.originPassword;
        TvxCursorProps& p = plan.desc.CursorProps();
        const TvxCursorProps& e = existing.CursorProps();
        p.setTableLevel(e.tableLevel());
        p.setCodePage(e.codePage());
        p.setLanguageDriver(e.languageDriver());
        p.setBlockSizeKb(e.blockSizeKb());
        p.setStrictRefInt(e.strictRefInt());
        // Rules on the master side whose dependent table the script does not describe stay;
        // the others follow from the dependents' rules.
        std::vector<TvxRefIntDesc> rules = plan.desc.RefInts();
        for (const TvxRefIntDesc& r : existing.RefInts())
            if (r.kind() == TvxRefIntDesc::Master)
                rules.push_back(r);
        plan.desc.SetRefInts(std::move(rules));
        plan.originDesc = std::move(existing);
    }

    const TvxTableDesc& old = plan.originDesc;
    const int cp = plan.CodePage();
    for (int i = 0; i < plan.desc.FieldCount(); ++i) {
        const TvxFieldDesc& f = *plan.desc.GetField(i);
        TvxFieldOrigin o;
        for (int k = 0; k < old.FieldCount(); ++k)
            if (SameText(old.GetField(k)->name(), f.name())) {
                o.kind = TvxFieldOrigin::Kind::Record;
                o.index = k;
                o.chain.push_back(TvxFieldShape::Of(*old.GetField(k), cp));
                break;
            }
        o.chain.push_back(TvxFieldShape::Of(f, cp));
        plan.fields.push_back(std::move(o));
    }
    for (int k = 0; k < old.FieldCount(); ++k)
        if (plan.FieldPos(old.GetField(k)->name()) < 0)
            plan.notes.push_back("field " + old.GetField(k)->name() + " dropped with its values");
    plans_.push_back(std::move(plan));
}

} // namespace morvane
