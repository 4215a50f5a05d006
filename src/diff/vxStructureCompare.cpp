#include "diff/vxStructureCompare.h"

#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"

#include <algorithm>

#include "diff/TvxFieldMatch.h"

namespace morvane {

namespace {

using Part = TvxStructureDifference::Part;

std::string FieldText(const TvxFieldDesc& f)
{
    return f.name() + " (type " + std::to_string(f.type()) + ", size " + std::to_string(ScriptFieldSize(f)) + ")";
}

std::string KeyText(const TvxIndexDesc& x)
{
    std::string out;
    const int n = std::clamp(x.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields);
    for (int i = 0; i < n; ++i) {
        if (i)
            out += ',';
        out += std::to_string(x.keyField(i));
        if (x.descendingField(i))
            out += " desc";
    }
    if (x.unique())
        out += " unique";
    if (x.descending())
        out += " descending";
    if (x.caseInsensitive())
        out += " case-insensitive";
    return out.empty() ? "(no fields)" : out;
}

std::string CheckText(const TvxValCheckDesc& c, int type)
{
    const TvxValCheckTexts t = ValCheckTexts(c, type);
    const auto blank = [](const std::optional<std::string>& v) { return v && v->empty(); };
    if (!t.required && blank(t.minimum) && blank(t.maximum) && blank(t.defaultValue) && t.picture.empty())
        return "none"; // a check that checks nothing is no check
    const auto value = [](const std::optional<std::string>& v) { return v ? "\"" + *v + "\"" : std::string("?"); };
    return std::string(t.required ? "required" : "not required") + ", minimum " + value(t.minimum) + ", maximum " +
           value(t.maximum) + ", default " + value(t.defaultValue) + ", picture \"" + t.picture + "\"";
}

std::string RuleText(const TvxRefIntDesc& r)
{
    std::string base(StripDirectory(r.otherTable()));
    const std::size_t dot = base.find('.');
    std::string out = "on " + UpperText(base.substr(0, dot)) + " fields";
    const int n = std::clamp(r.fieldCount(), 0, TvxRefIntDesc::MaxFields);
    for (int i = 0; i < n; ++i) {
        out += i ? ',' : ' ';
        out += std::to_string(r.thisField(i));
        out += "->";
        out += std::to_string(r.otherField(i));
    }
    out += std::string(", update ") + (r.updateRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit");
    out += std::string(", delete ") + (r.deleteRule() == TvxRefIntDesc::Cascade ? "cascade" : "prohibit");
    return out;
}

void CompareFields(const TvxTableDesc& have, const TvxTableDesc& want, std::vector<TvxStructureDifference>& out)
{
    const int n = std::max(have.FieldCount(), want.FieldCount());
    for (int i = 0; i < n; ++i) {
        const TvxFieldDesc* h = have.GetField(i);
        const TvxFieldDesc* w = want.GetField(i);
        if (h && w && SameScriptField(*h, *w))
            continue;
        out.push_back({Part::Fields, "field " + std::to_string(i + 1) + ": " + (h ? FieldText(*h) : "none") + " -> " +
                                         (w ? FieldText(*w) : "none")});
    }
}

const TvxIndexDesc* PrimaryOf(const TvxTableDesc& t)
{
    for (const TvxIndexDesc& x : t.Indexes())
        if (x.primary())
            return &x;
    return nullptr;
}

void CompareIndexes(const TvxTableDesc& have, const TvxTableDesc& want, std::vector<TvxStructureDifference>& out)
{
    const TvxIndexDesc* hp = PrimaryOf(have);
    const TvxIndexDesc* wp = PrimaryOf(want);
    const std::string hk = hp ? KeyText(*hp) : "none";
    const std::string wk = wp ? KeyText(*wp) : "none";
    if (hk != wk)
        out.push_back({Part::PrimaryKey, "primary key: " + hk + " -> " + wk});

    const auto find = [](const TvxTableDesc& t, const std::string& name) -> const TvxIndexDesc* {
        for (const TvxIndexDesc& x : t.Indexes())
            if (!x.primary() && SameText(x.name(), name))
                return &x;
        return nullptr;
    };
    for (const TvxIndexDesc& w : want.Indexes()) {
        if (w.primary())
            continue;
        const TvxIndexDesc* h = find(have, w.name());
        if (!h)
            out.push_back({Part::Index, "index " + w.name() + ": none -> " + KeyText(w)});
        else if (KeyText(*h) != KeyText(w))
            out.push_back({Part::Index, "index " + w.name() + ": " + KeyText(*h) + " -> " + KeyText(w)});
    }
    for (const TvxIndexDesc& h : have.Indexes())
        if (!h.primary() && !find(want, h.name()))
            out.push_back({Part::Index, "index " + h.name() + ": " + KeyText(h) + " -> none"});
}

void CompareChecks(const TvxTableDesc& have, const TvxTableDesc& want, std::vector<TvxStructureDifference>& out)
{
    const int n = std::max(have.FieldCount(), want.FieldCount());
    for (int no = 1; no <= n; ++no) {
        const TvxValCheckDesc* h = have.FindValCheck(no);
        const TvxValCheckDesc* w = want.FindValCheck(no);
        const TvxFieldDesc* hf = have.GetField(no - 1);
        const TvxFieldDesc* wf = want.GetField(no - 1);
        const std::string ht = h && hf ? CheckText(*h, hf->type()) : "none";
        const std::string wt = w && wf ? CheckText(*w, wf->type()) : "none";
        if (ht != wt)
            out.push_back({Part::Check, "check of field " + std::to_string(no) + ": " + ht + " -> " + wt});
    }
}

void CompareRules(const TvxTableDesc& have, const TvxTableDesc& want, std::vector<TvxStructureDifference>& out)
{
    const auto find = [](const TvxTableDesc& t, const std::string& name) -> const TvxRefIntDesc* {
        for (const TvxRefIntDesc& r : t.RefInts())
            if (r.kind() == TvxRefIntDesc::Dependent && SameText(r.name(), name))
                return &r;
        return nullptr;
    };
    for (const TvxRefIntDesc& w : want.RefInts()) {
        if (w.kind() != TvxRefIntDesc::Dependent)
            continue;
        const TvxRefIntDesc* h = find(have, w.name());
        if (!h)
            out.push_back({Part::Rule, "rule " + w.name() + ": none -> " + RuleText(w)});
        else if (RuleText(*h) != RuleText(w))
            out.push_back({Part::Rule, "rule " + w.name() + ": " + RuleText(*h) + " -> " + RuleText(w)});
    }
    for (const TvxRefIntDesc& h : have.RefInts())
        if (h.kind() == TvxRefIntDesc::Dependent && !find(want, h.name()))
            out.push_back({Part::Rule, "rule " + h.name() + ": " + RuleText(h) + " -> none"});
}

} // namespace

std::vector<TvxStructureDifference> StructureDifferences(const TvxTableDesc& have, const TvxTableDesc& want)
{
    std::vector<TvxStructureDifference> out;
    CompareFields(have, want, out);
    CompareIndexes(have, want, out);
    CompareChecks(have, want, out);
    CompareRules(have, want, out);
    return out;
}

} // namespace morvane
