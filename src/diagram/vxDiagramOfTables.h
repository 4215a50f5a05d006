#pragma once
// DiagramOfTables: the diagram of a database from its tables' descriptors, as the engine read
// them: every table a box, every dependent rule an arrow to its master. A rule whose master is
// not among the tables gets a box marked missing. Names of tables as the caller lists them
// (file-system names, UTF-8 or else in the table's code page); other texts in each table's
// code page. Never throws for what a damaged descriptor holds: numbers outside the table name
// no field.

#include "model/clvxTableDesc.h"

#include <span>
#include <string>

#include "diagram/TvxDiagram.h"

namespace morvane {

struct TvxDiagramSource
{
    std::string name;
    const TvxTableDesc* desc = nullptr; // never null
};

TvxDiagram DiagramOfTables(std::span<const TvxDiagramSource> tables);

// The parts DiagramOfTables and DiagramOfScript share.
// The table's box: fields (key fields first), index count, protection.
TvxDiagramTable DiagramTableOf(const std::string& name, const TvxTableDesc& desc);
// "A20", "N", "#2": the type's letter and, where the type takes one, its size.
std::string DiagramTypeText(const TvxFieldDesc& field);
// A name from the file system or a record, as UTF-8.
std::string DiagramName(const std::string& name, int codePage);
// The master table a rule names: its file name without directory and extension.
std::string RuleMasterName(const TvxRefIntDesc& rule);
// The dependent rule of table `dependent` (desc) on `master` (masterDesc may be null).
TvxDiagramRule DiagramRuleOf(const TvxRefIntDesc& rule, const std::string& dependent, const TvxTableDesc& desc,
                             const std::string& master, const TvxTableDesc* masterDesc);

} // namespace morvane
