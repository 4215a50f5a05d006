#include "editor/TvxRefIntCommands.h"

namespace morvane {

TvxRefIntCommands::TvxRefIntCommands(const Controls& controls, TvxScriptTableList& newTables,
                                     TvxDataSetListBox& currentTables, TvxIndexCommands& indexes, TvxMessages& messages,
                                     TvxDocumentState& document)
    : controls_(controls), newTables_(newTables), currentTables_(currentTables), indexes_(indexes), messages_(messages),
      document_(document)
{}

// To come: adds a rule named "NewRefInt…" to the selected new table (it needs a primary key).
void TvxRefIntCommands::SpdBtnRIntAddClick() {}

// To come: deletes the selected rule; its index stays.
void TvxRefIntCommands::SpdBtnRIntDelClick() {}

// To come: makes the field chosen in "&Campos" the selected rule's next field.
void TvxRefIntCommands::SpdBtnRIntFieldAddClick() {}

// To come: removes the selected rule's last field.
void TvxRefIntCommands::SpdBtnRIntFieldDelClick() {}

// To come: shows the selected current rule's table, fields, kind and update rule.
void TvxRefIntCommands::RefIntListChange() {}

// To come: shows the selected new rule's master, candidate fields, drawing and update rule.
void TvxRefIntCommands::NewRIntListChange() {}

// To come: renames the rule, refusing a name another rule of the table has.
void TvxRefIntCommands::NewRIntListEdited(QListWidgetItem*) {}

// To come: makes the chosen new table the selected rule's master.
void TvxRefIntCommands::ComboTablesCloseUp() {}

// To come: stores cascade or prohibit as the selected rule's update rule.
void TvxRefIntCommands::GroupNewRuleClick() {}

// To come: stores the box as the selected new table's strict-integrity flag.
void TvxRefIntCommands::CheckNewSRIClick() {}

} // namespace morvane
