#include "editor/TvxFieldCommands.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace morvane {

TvxFieldCommands::TvxFieldCommands(const Controls& controls, TvxDatabase& database, TvxDBScript& script,
                                   TvxScriptTableList& newTables, TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                                   TvxMessages& messages, TvxDocumentState& document, TvxIndexCommands& indexes,
                                   TvxRefIntCommands& refInts)
    : controls_(controls), database_(database), script_(script), newTables_(newTables), currentTables_(currentTables),
      prompts_(prompts), messages_(messages), document_(document), indexes_(indexes), refInts_(refInts)
{}

// To come: asks for a new field in the field dialog and records "Create field" at the grid's row.
void TvxFieldCommands::mnFieldAddClick() {}

// To come: edits the selected new field in the field dialog and records "Change field".
void TvxFieldCommands::mnFieldChangeClick() {}

// To come: copies the current table's selected field into the new table and records "Move field".
void TvxFieldCommands::mnFieldMoveClick() {}

// To come: records "Delete field" for the selected new field.
void TvxFieldCommands::mnFieldDeleteClick() {}

void TvxFieldCommands::FieldGridKeyDown(int Key)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        mnFieldChangeClick();
}

// To come: shows the selected new field's validity check in the lower validation fields.
void TvxFieldCommands::FieldGridSelectField(int) {}

// To come: shows the selected current field's validity check in the upper validation fields.
void TvxFieldCommands::FieldsListChange() {}

// To come: writes the typed text into the selected new field's validity check.
void TvxFieldCommands::EditNewValChange(QLineEdit*) {}

// To come: converts the left field's text into the check, emptying a text that does not convert.
void TvxFieldCommands::EditNewValExit(QLineEdit*) {}

// To come: sets the selected new field's required flag, adding or removing its check.
void TvxFieldCommands::CheckNewRequiredClick() {}

void TvxFieldCommands::EmptyNewValidation()
{
    for (QLineEdit* edit :
         {controls_.EditNewMin, controls_.EditNewMax, controls_.EditNewDefault, controls_.EditNewPicture}) {
        edit->clear();
        edit->setEnabled(false);
    }
    controls_.CheckNewRequired->setChecked(false);
    controls_.CheckNewRequired->setEnabled(false);
    controls_.BtnNewPicture->setEnabled(false);
}

} // namespace morvane
