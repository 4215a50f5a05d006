#include "editor/TvxTableCommands.h"

namespace morvane {

TvxTableCommands::TvxTableCommands(const Controls& controls, TvxDatabase& database, TvxDBScript& script,
                                   TvxScriptTableList& newTables, TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                                   TvxMessages& messages, TvxDocumentState& document, TvxIndexCommands& indexes,
                                   TvxRefIntCommands& refInts)
    : controls_(controls), database_(database), script_(script), newTables_(newTables), currentTables_(currentTables),
      prompts_(prompts), messages_(messages), document_(document), indexes_(indexes), refInts_(refInts)
{}

// To come: asks for a name and records "Create table" (the script needs a source or target first).
void TvxTableCommands::mnTableNewClick() {}

// To come: asks for the selected new table's new name and records "Change table".
void TvxTableCommands::mnTableChangeClick() {}

// To come: copies the selected current table under an entered name and records "Add table".
void TvxTableCommands::mnTableAddClick() {}

// To come: records "Delete table" for the selected new table.
void TvxTableCommands::mnTableDeleteClick() {}

void TvxTableCommands::DataSetListChange()
{
    RefreshCurrentTable();
}

void TvxTableCommands::DataSetListClick()
{
    RefreshCurrentTable();
}

void TvxTableCommands::ScriptTableListViewChange()
{
    RefreshNewTable();
}

void TvxTableCommands::ScriptTableListViewClick()
{
    RefreshNewTable();
}

// To come: fills the upper information panels, index list and rule list (empties them with no table).
void TvxTableCommands::RefreshCurrentTable() {}

// To come: fills the lower information panels, index list and rule list (empties them with no table).
void TvxTableCommands::RefreshNewTable() {}

} // namespace morvane
