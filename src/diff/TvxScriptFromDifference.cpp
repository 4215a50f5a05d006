#include "diff/TvxScriptFromDifference.h"

#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"
#include "script/vxNameCompare.h"

#include "diff/EvxDifferenceError.h"
#include "diff/TvxDifferenceBuilder.h"
#include "diff/vxStructureCompare.h"
#include "diff/vxTableNotes.h"

namespace morvane {

namespace {

// Unlinks the list's field grid for the time the script is built: field commands then act at
// the positions the builder is given, not at the grid's selected row.
class TvxGridUnlinked
{
public:
    explicit TvxGridUnlinked(TvxScriptTableList& list) : list_(list), grid_(list.StructFields())
    {
        list_.SetStructFields(nullptr);
    }
    ~TvxGridUnlinked()
    {
        list_.SetStructFields(grid_);
        list_.RefreshFields();
    }
    TvxGridUnlinked(const TvxGridUnlinked&) = delete;
    TvxGridUnlinked& operator=(const TvxGridUnlinked&) = delete;

private:
    TvxScriptTableList& list_;
    IvxStructFields* grid_;
};

void CheckRenames(const TvxDiffDatabase& source, const TvxDiffDatabase& wanted, const TvxFieldRenames& renames)
{
    for (const TvxFieldRename& r : renames.All()) {
        const std::string text = r.table + "." + r.oldName + "=" + r.newName;
        if (!source.Find(r.table))
            throw EvxDifferenceError("rename " + text + ": the source database has no table " + r.table);
        if (!wanted.Find(r.table))
            throw EvxDifferenceError("rename " + text + ": the wanted database has no table " + r.table);
    }
}

// A protected wanted table gets its password when the source table does not open with it
// already (the update keeps a copied table's own password).
void Protect(TvxDifferenceBuilder& builder, const TvxDiffDatabase& source, const TvxTableDesc* from,
             const TvxDiffDatabase& wanted, const TvxTableDesc& want, TvxTableDifference& report)
{
    const std::string password = want.Protected() ? wanted.PasswordOf(want) : std::string();
    const bool keeps = from && from->Protected();
    if (want.Protected() && password.empty() && !keeps)
        report.notes.push_back("protected in the wanted database by a password not given: give it one in the editor");
    else if (want.Protected() && password.empty())
        report.notes.push_back("protected in the wanted database by a password not given: it keeps the source's");
    else if (!password.empty() && (!keeps || source.PasswordOf(*from) != password)) {
        builder.RecordPassword(want.TableName(), password);
        report.structure.push_back("password: set");
    } else if (!want.Protected() && keeps)
        report.notes.push_back("protected in the source database only: the update keeps its password");
}

void Build(TvxDBScript& script, TvxScriptTableList& list, const TvxDiffDatabase& source, const TvxDiffDatabase& wanted,
           const TvxFieldRenames& renames, const TvxDiffTarget& target, TvxDifferenceReport& report)
{
    TvxDifferenceBuilder builder(script, list);
    builder.RecordSource(source);
    builder.RecordTarget(target);

    std::vector<const TvxTableDesc*> built; // the wanted table of each list entry
    for (const TvxTableDesc& want : wanted.tables) {
        TvxTableDifference entry;
        entry.table = want.TableName();
        if (const TvxTableDesc* other = wanted.Find(entry.table); other != &want) {
            entry.action = TvxTableDifference::Action::LeftOut;
            entry.notes.push_back("its name differs from that of table " + other->TableName() +
                                  " only in letter case, which a script does not tell apart");
            report.tables.push_back(std::move(entry));
            continue;
        }
        const TvxTableDesc* from = source.Find(entry.table);
        TvxFieldMatch match;
        if (from) {
            match = builder.AddMatched(*from, want, renames.Of(entry.table), entry);
        } else {
            entry.action = TvxTableDifference::Action::Created;
            builder.AddCreated(want, entry);
            match.sourceOf.assign(static_cast<std::size_t>(want.FieldCount()), -1);
        }
        Protect(builder, source, from, wanted, want, entry);
        DescribeTable(from, want, match, entry);
        report.tables.push_back(std::move(entry));
        built.push_back(&want);
    }
    for (const TvxTableDesc& have : source.tables)
        if (!wanted.Find(have.TableName()) && source.Find(have.TableName()) == &have) {
            TvxTableDifference entry;
            entry.action = TvxTableDifference::Action::LeftOut;
            entry.table = have.TableName();
            report.tables.push_back(std::move(entry));
        }

    // The script must rebuild the wanted structures; anything else would be a wrong document.
    if (list.Count() != static_cast<int>(built.size()))
        throw EvxDifferenceError("the new structure holds " + std::to_string(list.Count()) + " tables instead of " +
                                 std::to_string(built.size()));
    for (int i = 0; i < list.Count(); ++i) {
        const std::vector<TvxStructureDifference> left = StructureDifferences(*list.TableAt(i), *built[i]);
        if (!left.empty())
            throw EvxDifferenceError("table " + list.NameAt(i) + " does not come out as wanted: " + left.front().text);
    }
}

} // namespace

TvxDifferenceReport BuildScriptFromDifference(TvxDBScript& script, const TvxDiffDatabase& source,
                                              const TvxDiffDatabase& wanted, const TvxFieldRenames& renames,
                                              const TvxDiffTarget& target)
{
    TvxScriptTableList* list = script.ScriptTableList();
    if (!list)
        throw EvxDifferenceError("the script has no table list to build the new structure in");
    if (script.Count() != 0 || list->Count() != 0)
        throw EvxDifferenceError("a script is made from a difference only into a new, empty script");
    CheckRenames(source, wanted, renames);

    TvxDifferenceReport report;
    TvxGridUnlinked unlinked(*list);
    try {
        Build(script, *list, source, wanted, renames, target, report);
    } catch (...) {
        script.Clear();
        list->ClearTables();
        throw;
    }
    return report;
}

} // namespace morvane
