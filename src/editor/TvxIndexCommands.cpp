#include "editor/TvxIndexCommands.h"

namespace morvane {

TvxIndexCommands::TvxIndexCommands(const Controls& controls, TvxScriptTableList& newTables,
                                   TvxDataSetListBox& currentTables, TvxMessages& messages, TvxDocumentState& document)
    : controls_(controls), newTables_(newTables), currentTables_(currentTables), messages_(messages),
      document_(document)
{}

// To come: adds an index named "NewIndex…" without fields to the selected new table.
void TvxIndexCommands::SpdBtnIdxAddClick() {}

// To come: deletes the selected index, unless it is a primary key other tables' rules rest on.
void TvxIndexCommands::SpdBtnIdxDelClick() {}

// To come: appends the field chosen in "&Campos" to the selected index's key.
void TvxIndexCommands::SpdBtnIdxAddFieldClick() {}

// To come: removes the key field chosen in "&Campos indexados" from the selected index.
void TvxIndexCommands::SpdBtnIdxDelFieldClick() {}

// To come: swaps the chosen key field with the one above or below it.
void TvxIndexCommands::SpdBtnIdxMoveClick(bool) {}

// To come: writes the box's state into the selected index's flag, then applies the naming rule.
void TvxIndexCommands::CheckNewIdxPropertyClick(QCheckBox*) {}

// To come: shows the selected current index's key fields and properties.
void TvxIndexCommands::ListIndexChange() {}

// To come: shows the selected new index's key fields, the other fields and its property boxes.
void TvxIndexCommands::NewIdxListChange() {}

// To come: renames the index (a field's name makes it that field's maintained index).
void TvxIndexCommands::NewIdxListEdited(QTreeWidgetItem*) {}

} // namespace morvane
