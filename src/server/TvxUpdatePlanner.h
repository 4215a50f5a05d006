#pragma once
// TvxUpdatePlanner: turns the commands of an update script, in script order, into the plans of
// the tables they build. Create table: a new empty table; Add table: a source table's
// structure and records under a new name; the field commands change a planned table; Move
// field brings a field of a source table in; Add password protects a planned table. Alias
// commands are the server's (source and target). Apply throws EvxRunError: 296 for a table no
// earlier command created, 299 for an unknown kind, 298 for a field block no table can hold,
// 302/301 for a source table that cannot be read / opened, 304/305 for a missing / taken field.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "server/TvxTablePlan.h"
#include "server/vxValueConvert.h"

namespace morvane {

class IvxTableReader;
class TvxCommand;

class TvxUpdatePlanner
{
public:
    // source: the database the script reads; not owned. now: what TODAY and NOW mean.
    TvxUpdatePlanner(IvxTableReader& source, TvxMoment now);

    void Apply(const TvxCommand& command);
    std::vector<TvxTablePlan>& Plans() { return plans_; }

private:
    TvxTablePlan& PlanOf(const std::string& table);
    // The source table's file and structure (read once).
    const TvxTableDesc& SourceTable(const std::string& name, std::string& file);

    void CreateTable(const TvxCommand& c);
    void AddTable(const TvxCommand& c);
    void CreateField(const TvxCommand& c);
    void ChangeField(const TvxCommand& c);
    void DeleteField(const TvxCommand& c);
    void MoveField(const TvxCommand& c);

    IvxTableReader& source_;
    TvxMoment now_;
    std::vector<TvxTablePlan> plans_;
    std::map<std::string, TvxTableDesc> sourceTables_; // by file
};

// A new, empty table's plan: level 4 (raised as its fields need), Windows-1252, "ANSIINTL".
TvxTablePlan NewTablePlan(const std::string& baseName);
// The field a field block describes; throws EvxRunError 298 for a type or size no Paradox
// table holds.
TvxFieldDesc FieldFromBlock(const TvxCommand& c, int first, const std::string& table);
// Runs fn, turning engine errors of reading table `file` into 301 (password) or 302.
void ReadingSource(const std::string& file, const std::function<void()>& fn);

} // namespace morvane
