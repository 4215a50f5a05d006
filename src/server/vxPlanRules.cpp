#include "server/vxPlanRules.h"

#include <algorithm>

#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"

namespace morvane {

namespace {

int PlanByName(const std::vector<TvxTablePlan>& plans, const std::string& base)
{
    for (std::size_t i = 0; i < plans.size(); ++i)
        if (SameText(plans[i].name, base))
            return static_cast<int>(i);
    return -1;
}

bool SameRule(const TvxRefIntDesc& a, std::string_view name, std::string_view other)
{
    return SameText(a.name(), name) && SameText(TableBaseName(a.otherTable()), TableBaseName(other));
}

// The rule's fields have the types and sizes of the master fields they pair with.
bool FieldsMatch(const TvxTableDesc& dependent, const TvxTableDesc& master, const TvxRefIntDesc& rule)
{
    for (int k = 0; k < std::min(rule.fieldCount(), TvxRefIntDesc::MaxFields); ++k) {
        const TvxFieldDesc* a = dependent.GetField(rule.thisField(k) - 1);
        const TvxFieldDesc* b = master.GetField(rule.otherField(k) - 1);
        if (!a || !b)
            return false;
        // An autoincrement key pairs with a Long Integer.
        const auto type = [](int t) { return t == fldAutoInc ? fldLong : t; };
        if (type(a->type()) != type(b->type()) || a->units1() != b->units1() || a->units2() != b->units2())
            return false;
    }
    return true;
}

} // namespace

int MasterOf(const std::vector<TvxTablePlan>& plans, const TvxTablePlan& plan, const TvxRefIntDesc& rule)
{
    const std::string other = TableBaseName(rule.otherTable());
    if (plan.origin == TvxTablePlan::Origin::Source) {
        // Rules copied with a source table name the master's source file.
        for (std::size_t i = 0; i < plans.size(); ++i)
            if (plans[i].origin == TvxTablePlan::Origin::Source && SameText(TableBaseName(plans[i].originFile), other))
                return static_cast<int>(i);
    }
    return PlanByName(plans, other);
}

void CompleteRuleSides(std::vector<TvxTablePlan>& plans)
{
    // Dependent rules first: their master's new name; a rule whose fields no longer have the
    // types and sizes of the master's key goes.
    for (TvxTablePlan& d : plans) {
        std::vector<TvxRefIntDesc> rules;
        for (TvxRefIntDesc r : d.desc.RefInts()) {
            const int m = r.kind() == TvxRefIntDesc::Dependent ? MasterOf(plans, d, r) : -1;
            if (m >= 0) {
                const TvxTablePlan& master = plans[static_cast<std::size_t>(m)];
                r.setOtherTable(master.FileName());
                if (!FieldsMatch(d.desc, master.desc, r)) {
                    d.notes.push_back("rule " + r.name() + " dropped: its fields no longer match the key of " +
                                      master.FileName());
                    continue;
                }
            }
            rules.push_back(r);
        }
        d.desc.SetRefInts(std::move(rules));
    }
    // Master sides: rebuilt from the dependents the run builds.
    for (TvxTablePlan& m : plans) {
        std::vector<TvxRefIntDesc> kept;
        for (const TvxRefIntDesc& r : m.desc.RefInts()) {
            const bool towardsBuilt = PlanByName(plans, TableBaseName(r.otherTable())) >= 0;
            bool duplicate = false;
            for (const TvxRefIntDesc& k : kept)
                duplicate = duplicate || (k.kind() == r.kind() && SameRule(k, r.name(), r.otherTable()));
            if ((r.kind() == TvxRefIntDesc::Dependent || !towardsBuilt) && !duplicate)
                kept.push_back(r);
        }
        m.desc.SetRefInts(std::move(kept));
    }
    for (const TvxTablePlan& d : plans) {
        for (const TvxRefIntDesc& r : d.desc.RefInts()) {
            if (r.kind() != TvxRefIntDesc::Dependent)
                continue;
            const int mi = PlanByName(plans, TableBaseName(r.otherTable()));
            if (mi < 0 || &plans[static_cast<std::size_t>(mi)] == &d)
                continue;
            TvxTablePlan& m = plans[static_cast<std::size_t>(mi)];
            TvxRefIntDesc side;
            side.setName(r.name());
            side.setKind(TvxRefIntDesc::Master);
            side.setOtherTable(d.FileName());
            side.setUpdateRule(r.updateRule());
            side.setDeleteRule(r.deleteRule());
            const int n = std::min(r.fieldCount(), TvxRefIntDesc::MaxFields);
            side.setFieldCount(n);
            for (int k = 0; k < n; ++k) {
                side.setThisField(k, r.otherField(k));
                side.setOtherField(k, r.thisField(k));
            }
            std::vector<TvxRefIntDesc> rules = m.desc.RefInts();
            side.setRuleNumber(static_cast<int>(rules.size()) + 1);
            rules.push_back(side);
            m.desc.SetRefInts(std::move(rules));
        }
    }
}

std::vector<int> BuildOrder(const std::vector<TvxTablePlan>& plans)
{
    const std::size_t n = plans.size();
    std::vector<std::vector<int>> mastersOf(n);
    for (std::size_t d = 0; d < n; ++d)
        for (const TvxRefIntDesc& r : plans[d].desc.RefInts())
            if (r.kind() == TvxRefIntDesc::Dependent) {
                const int m = PlanByName(plans, TableBaseName(r.otherTable()));
                if (m >= 0 && static_cast<std::size_t>(m) != d)
                    mastersOf[d].push_back(m);
            }
    std::vector<int> order;
    std::vector<bool> done(n, false);
    while (order.size() < n) {
        bool progressed = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (done[i])
                continue;
            const bool ready = std::all_of(mastersOf[i].begin(), mastersOf[i].end(),
                                           [&](int m) { return done[static_cast<std::size_t>(m)]; });
            if (ready) {
                done[i] = true;
                order.push_back(static_cast<int>(i));
                progressed = true;
            }
        }
        if (!progressed) // a cycle: the first left goes next
            for (std::size_t i = 0; i < n; ++i)
                if (!done[i]) {
                    done[i] = true;
                    order.push_back(static_cast<int>(i));
                    break;
                }
    }
    return order;
}

} // namespace morvane
