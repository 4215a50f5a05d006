#include "diagram/vxDiagramOfScript.h"

#include "model/vxCodePage.h"
#include "script/cpvxScriptLoader.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptTableList.h"

#include <algorithm>

namespace morvane {

namespace {

struct TvxFieldRename
{
    std::string table; // UTF-8, as the new structure names it
    std::string newName;
    std::string oldName;
};

// What the commands tell beyond the tables themselves.
struct TvxScriptFacts
{
    std::vector<std::pair<std::string, std::string>> added; // new name, source name
    std::vector<std::string> created;
    std::vector<TvxFieldRename> renames;

    const std::string* SourceOf(const std::string& table) const
    {
        for (const auto& [name, source] : added)
            if (SameTableName(name, table))
                return &source;
        return nullptr;
    }
    const std::string* NewNameOf(const std::string& source) const
    {
        for (const auto& [name, from] : added)
            if (SameTableName(from, source))
                return &name;
        return nullptr;
    }
    bool Created(const std::string& table) const
    {
        return std::any_of(created.begin(), created.end(),
                           [&](const std::string& c) { return SameTableName(c, table); });
    }
    // The source name of field `field` of new table `table`: the name a rename started from.
    std::string SourceField(const std::string& table, const std::string& field) const
    {
        for (const TvxFieldRename& r : renames)
            if (SameTableName(r.table, table) && SameTableName(r.newName, field))
                return r.oldName;
        return field;
    }
};

std::string Text(const TvxCommand& c, int param)
{
    return DiagramName(c.ParamText(param), vxNewTableCodePage);
}

TvxScriptFacts FactsOf(const TvxDBScriptLoader& script)
{
    TvxScriptFacts facts;
    for (int i = 0; i < script.Count(); ++i) {
        const TvxCommand* c = script.Command(i);
        switch (c->Kind()) {
        case ckAddTable: {
            const std::string name = Text(*c, AddTableParam::Table);
            const std::string source = Text(*c, AddTableParam::SourceTable);
            facts.added.emplace_back(name, source.empty() ? name : source);
            break;
        }
        case ckCreateTable:
            facts.created.push_back(Text(*c, CreateTableParam::Table));
            break;
        case ckChangeField: {
            const std::string table = Text(*c, ChangeFieldParam::Table);
            const std::string from = Text(*c, ChangeFieldParam::OldName);
            const std::string to = Text(*c, ChangeFieldParam::NewName);
            const std::string origin = facts.SourceField(table, from);
            std::erase_if(facts.renames, [&](const TvxFieldRename& r) {
                return SameTableName(r.table, table) && SameTableName(r.newName, from);
            });
            facts.renames.push_back({table, to, origin});
            break;
        }
        default:
            break;
        }
    }
    return facts;
}

// Marks the fields of a table carried from a source table; true when any changed.
bool MarkFields(TvxDiagramTable& table, const TvxDiagramTable& before, const TvxScriptFacts& facts)
{
    std::vector<bool> matched(before.fields.size(), false);
    bool changed = false;
    for (TvxDiagramField& f : table.fields) {
        const std::string origin = facts.SourceField(table.name, f.name);
        const auto it = std::find_if(before.fields.begin(), before.fields.end(),
                                     [&](const TvxDiagramField& b) { return SameTableName(b.name, origin); });
        if (it == before.fields.end()) {
            f.mark = TvxDiagramMark::Added;
            changed = true;
            continue;
        }
        matched[static_cast<std::size_t>(it - before.fields.begin())] = true;
        if (it->name != f.name) {
            f.mark = TvxDiagramMark::Renamed;
            f.oldName = it->name;
        }
        if (it->type != f.type) {
            f.mark = TvxDiagramMark::Changed;
            f.oldType = it->type;
        }
        changed = changed || f.mark != TvxDiagramMark::None;
    }
    for (std::size_t i = 0; i < before.fields.size(); ++i) {
        if (matched[i])
            continue;
        TvxDiagramField gone = before.fields[i];
        gone.mark = TvxDiagramMark::Removed;
        gone.key = gone.indexed = false;
        table.fields.push_back(std::move(gone));
        changed = true;
    }
    return changed;
}

class TvxScriptDiagramBuilder
{
public:
    TvxScriptDiagramBuilder(std::span<const TvxDiagramSource> source, const TvxScriptTableList& tables,
                            const TvxDBScriptLoader& script)
        : source_(source), tables_(tables), facts_(FactsOf(script))
    {
        for (const TvxDiagramSource& s : source_)
            sourceNames_.push_back(DiagramName(s.name, s.desc->CodePage()));
    }

    TvxDiagram Build()
    {
        diagram_.showsChanges = true;
        for (int i = 0; i < tables_.Count(); ++i)
            AddNewTable(i);
        for (std::size_t i = 0; i < source_.size(); ++i)
            if (!facts_.NewNameOf(sourceNames_[i]))
                AddRemovedTable(source_[i]);
        for (int i = 0; i < tables_.Count(); ++i)
            AddNewRules(i);
        for (const auto& [table, source] : removed_)
            AddSourceRules(table, *source, {});
        return std::move(diagram_);
    }

private:
    const TvxDiagramSource* FindSource(const std::string& name) const
    {
        for (std::size_t i = 0; i < source_.size(); ++i)
            if (SameTableName(sourceNames_[i], name))
                return &source_[i];
        return nullptr;
    }

    void AddNewTable(int i)
    {
        const TvxTableDesc& desc = *tables_.TableAt(i);
        TvxDiagramTable table = DiagramTableOf(DiagramName(tables_.NameAt(i), vxNewTableCodePage), desc);
        const std::string* from = facts_.SourceOf(table.name);
        const TvxDiagramSource* origin = from ? FindSource(*from) : nullptr;
        if (facts_.Created(table.name) && !from) {
            table.mark = TvxDiagramMark::Added;
            for (TvxDiagramField& f : table.fields)
                f.mark = TvxDiagramMark::Added;
        } else if (origin) {
            const TvxDiagramTable before = DiagramTableOf(origin->name, *origin->desc);
            if (MarkFields(table, before, facts_))
                table.mark = TvxDiagramMark::Changed;
            if (!SameTableName(before.name, table.name)) {
                table.mark = TvxDiagramMark::Renamed;
                table.oldName = before.name;
            }
        }
        origins_.push_back(origin);
        diagram_.tables.push_back(std::move(table));
    }

    void AddRemovedTable(const TvxDiagramSource& s)
    {
        TvxDiagramTable table = DiagramTableOf(s.name, *s.desc);
        // A new table may have taken the name of the one that goes.
        if (diagram_.TableIndex(table.name) >= 0)
            table.name += " [-]";
        table.mark = TvxDiagramMark::Removed;
        removed_.emplace_back(table.name, &s);
        diagram_.tables.push_back(std::move(table));
    }

    // The box a rule's master is drawn as; a missing one is added.
    int MasterIndex(const std::string& name, bool source)
    {
        const std::string* renamed = source ? facts_.NewNameOf(name) : nullptr;
        int at = diagram_.TableIndex(renamed ? *renamed : name);
        if (source && !renamed)
            for (const auto& [table, s] : removed_)
                if (SameTableName(sourceNames_[static_cast<std::size_t>(s - source_.data())], name))
                    at = diagram_.TableIndex(table);
        return at >= 0 ? at : diagram_.TableOrMissing(name);
    }

    const TvxTableDesc* DescOf(int table) const
    {
        if (table < tables_.Count())
            return tables_.TableAt(table);
        const std::string& name = diagram_.tables[static_cast<std::size_t>(table)].name;
        for (const auto& [removedName, s] : removed_)
            if (removedName == name)
                return s->desc;
        return nullptr;
    }

    void AddNewRules(int i)
    {
        const TvxTableDesc& desc = *tables_.TableAt(i);
        const std::string name = diagram_.tables[static_cast<std::size_t>(i)].name;
        std::vector<std::string> kept;
        for (const TvxRefIntDesc& rule : desc.RefInts()) {
            if (rule.kind() != TvxRefIntDesc::Dependent)
                continue;
            const int master = MasterIndex(DiagramName(RuleMasterName(rule), vxNewTableCodePage), false);
            TvxDiagramRule r =
                DiagramRuleOf(rule, name, desc, diagram_.tables[static_cast<std::size_t>(master)].name, DescOf(master));
            const TvxDiagramSource* origin = origins_[static_cast<std::size_t>(i)];
            const bool before =
                origin &&
                std::any_of(origin->desc->RefInts().begin(), origin->desc->RefInts().end(),
                            [&](const TvxRefIntDesc& o) {
                                return o.kind() == TvxRefIntDesc::Dependent &&
                                       SameTableName(CodePageToUtf8(o.name(), origin->desc->CodePage()), r.name);
                            });
            if (!before && (origin || facts_.Created(name)))
                r.mark = TvxDiagramMark::Added;
            if (!before && origin)
                Changed(i);
            kept.push_back(r.name);
            diagram_.rules.push_back(std::move(r));
        }
        if (const TvxDiagramSource* origin = origins_[static_cast<std::size_t>(i)])
            if (AddSourceRules(name, *origin, kept))
                Changed(i);
    }

    // The rules of a source table that are not among `kept`, drawn Removed; true when any.
    bool AddSourceRules(const std::string& table, const TvxDiagramSource& s, const std::vector<std::string>& kept)
    {
        bool any = false;
        for (const TvxRefIntDesc& rule : s.desc->RefInts()) {
            if (rule.kind() != TvxRefIntDesc::Dependent)
                continue;
            const std::string ruleName = CodePageToUtf8(rule.name(), s.desc->CodePage());
            if (std::any_of(kept.begin(), kept.end(), [&](const std::string& k) { return SameTableName(k, ruleName); }))
                continue;
            const std::string masterName = DiagramName(RuleMasterName(rule), s.desc->CodePage());
            const int master = MasterIndex(masterName, true);
            const TvxDiagramSource* masterSource = FindSource(masterName);
            TvxDiagramRule r =
                DiagramRuleOf(rule, table, *s.desc, diagram_.tables[static_cast<std::size_t>(master)].name,
                              masterSource ? masterSource->desc : nullptr);
            r.mark = TvxDiagramMark::Removed;
            diagram_.rules.push_back(std::move(r));
            any = true;
        }
        return any;
    }

    void Changed(int i)
    {
        TvxDiagramTable& t = diagram_.tables[static_cast<std::size_t>(i)];
        if (t.mark == TvxDiagramMark::None)
            t.mark = TvxDiagramMark::Changed;
    }

    std::span<const TvxDiagramSource> source_;
    std::vector<std::string> sourceNames_; // UTF-8, as source_
    const TvxScriptTableList& tables_;
    TvxScriptFacts facts_;
    TvxDiagram diagram_;
    std::vector<const TvxDiagramSource*> origins_; // per new table, its source table or null
    std::vector<std::pair<std::string, const TvxDiagramSource*>> removed_;
};

} // namespace

TvxDiagram DiagramOfScript(std::span<const TvxDiagramSource> source, const TvxScriptTableList& tables,
                           const TvxDBScriptLoader& script)
{
    return TvxScriptDiagramBuilder(source, tables, script).Build();
}

} // namespace morvane
