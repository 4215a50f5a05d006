#pragma once
// What the subcommands that open a script document share: the source database's tables as the
// editor's table list holds them, and the loading of a document as the editor opens it.

#include "db/cpDatabase.h"
#include "db/IvxDataSetList.h"

#include <string>
#include <string_view>
#include <vector>

namespace morvane {
class TvxDBScript;
class TvxScriptTableList;
} // namespace morvane

namespace morvane::cli {

// The tables of the connected source database, as the editor's table list holds them.
class TvxSourceTables : public IvxDataSetList
{
public:
    TvxSourceTables() = default;
    TvxSourceTables(const TvxSourceTables&) = delete;
    TvxSourceTables& operator=(const TvxSourceTables&) = delete;
    ~TvxSourceTables() override { TvxDatabase::NotifyDataSetListDestroyed(this); }

    void SetDatabaseHandle(IvxEngineDatabase*) override {}
    void ReplaceItems(TvxTableItems items) override { items_ = std::move(items); }
    void ClearItems() override { items_.clear(); }

    const TvxTableItems& Items() const { return items_; }
    const TvxTableDesc* TableByName(std::string_view name) const;

private:
    TvxTableItems items_;
};

// The script message of that id on stderr, "%s" replaced by argument.
void PrintScriptMessage(int id, const std::string& argument = {});

// Loads the document into script and tables, its commands replayed against source (a directory
// or an alias), or, when source is empty, against the source database the document names. The
// database db, linked to sourceTables, is left connected to it. False, with a message on
// stderr, when a database cannot be opened or a source table is missing; file and engine
// errors propagate.
bool LoadDocument(const std::string& document, const std::string& source, const std::vector<std::string>& passwords,
                  TvxDatabase& db, TvxSourceTables& sourceTables, TvxScriptTableList& tables, TvxDBScript& script);

} // namespace morvane::cli
