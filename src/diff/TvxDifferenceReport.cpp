#include "diff/TvxDifferenceReport.h"

namespace morvane {

bool TvxTableDifference::Unchanged() const
{
    return action == Action::Added && created.empty() && changed.empty() && renamed.empty() && moved.empty() &&
           deleted.empty() && structure.empty();
}

bool TvxDifferenceReport::Unchanged() const
{
    for (const TvxTableDifference& t : tables)
        if (!t.Unchanged())
            return false;
    return true;
}

std::vector<std::string> TvxDifferenceReport::Lines() const
{
    std::vector<std::string> lines;
    for (const TvxTableDifference& t : tables) {
        switch (t.action) {
        case TvxTableDifference::Action::Added:
            lines.push_back("Table " + t.table + (t.Unchanged() ? ": unchanged" : ": changed"));
            break;
        case TvxTableDifference::Action::Created:
            lines.push_back("Table " + t.table + ": created");
            break;
        case TvxTableDifference::Action::LeftOut:
            lines.push_back("Table " + t.table + ": left out (not in the wanted database)");
            break;
        }
        const auto add = [&](const char* what, const std::vector<std::string>& items) {
            for (const std::string& item : items)
                lines.push_back(std::string("  ") + what + item);
        };
        add("create field ", t.created);
        add("rename field ", t.renamed);
        add("change field ", t.changed);
        add("move field ", t.moved);
        add("delete field ", t.deleted);
        add("", t.structure);
        add("note: ", t.notes);
    }
    return lines;
}

} // namespace morvane
