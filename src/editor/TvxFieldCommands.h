#pragma once
// TvxFieldCommands: the "&Campos" menu and the field controls of the main window: creating,
// changing, copying from the current table and deleting fields of the selected new table
// through the field dialog and the script, and the validation panels under both field lists.
// Refusals (editor ids 102-106, builder codes) are shown as messages; an accepted command
// keeps index keys, checks and rule fields in step with the moved field numbers and marks the
// script changed. The validity check of the selected new field follows what the user types.

#include <QObject>

#include <exception>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvane {

class IvxPrompts;
class TvxCommand;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxFieldDesc;
class TvxFieldGrid;
class TvxFieldTypeRec;
class TvxFieldsListBox;
class TvxIndexCommands;
class TvxMessages;
class TvxRefIntCommands;
class TvxScriptTableList;
class TvxTableDesc;
class TvxValCheckDesc;
struct TvxCommandExtras;
struct TvxDocumentState;

class TvxFieldCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands read and change; none is null.
    struct Controls
    {
        // upper "Campos"
        TvxFieldsListBox* FieldsList = nullptr;
        QLineEdit* EditMin = nullptr;
        QLineEdit* EditMax = nullptr;
        QLineEdit* EditDefault = nullptr;
        QLineEdit* EditPicture = nullptr;
        QLabel* PanelRequired = nullptr;
        // lower "Campos"
        TvxFieldGrid* FieldGrid = nullptr;
        QLineEdit* EditNewMin = nullptr;
        QLineEdit* EditNewMax = nullptr;
        QLineEdit* EditNewDefault = nullptr;
        QLineEdit* EditNewPicture = nullptr;
        QCheckBox* CheckNewRequired = nullptr;
        QPushButton* BtnNewPicture = nullptr;
    };

    // Everything given outlives the commands. database gives the field dialog its types;
    // indexes and refInts refill their lists after a field command.
    TvxFieldCommands(const Controls& controls, TvxDatabase& database, TvxDBScript& script,
                     TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                     TvxMessages& messages, TvxDocumentState& document, TvxIndexCommands& indexes,
                     TvxRefIntCommands& refInts);

    void mnFieldAddClick();
    void mnFieldChangeClick();
    void mnFieldMoveClick();
    void mnFieldDeleteClick();
    // A key pressed in the field grid: Enter (either key) runs "&Alterar".
    void FieldGridKeyDown(int Key);
    // The grid reports its selected row (-1: no field row).
    void FieldGridSelectField(int Row);
    // Selection in the current table's field list.
    void FieldsListChange();
    // The user typed into one of the four lower validation fields, Sender; or it was left.
    void EditNewValChange(QLineEdit* Sender);
    void EditNewValExit(QLineEdit* Sender);
    // A click on "&Requerido".
    void CheckNewRequiredClick();

    // The lower validation fields and "&Requerido" emptied and disabled (no new field shown).
    void EmptyNewValidation();

private:
    // The driver's field types for the dialog; none when the engine cannot list them.
    std::vector<TvxFieldTypeRec> FieldTypes() const;
    // The selected new table is the master of some rule and its primary key reaches row.
    // The selected new table and the grid row a new field goes to (1-based); null, after
    // showing why, when there is no table or the row lies in a master's key.
    const TvxTableDesc* InsertionTarget(int& row) const;
    bool MasterKeyBlocks(int row) const;
    // Hands the command to the builder; false (message shown) when it was refused. Failures
    // raised meanwhile are shown and answer false.
    bool Record(std::unique_ptr<TvxCommand> command, TvxCommandExtras extras);
    // The field dialog for a field to insert; false when cancelled. A name an index already has
    // is said so (104) and the dialog opens again with what was typed.
    bool AskNewField(TvxFieldDesc& field, QString& value);
    // Records a command that inserts a field at row; once recorded, the keys of the indexes
    // follow the shift and the index and rule tabs are refreshed. False when refused.
    bool RecordInsertion(std::unique_ptr<TvxCommand> command, TvxCommandExtras extras, int row);
    // Index and rule tabs after a field command; entries: the index list itself too.
    void RefreshIndexAndRefIntLists(bool entries);
    // The four lower texts and "&Requerido" empty and unchecked.
    bool NewValidationEmpty() const;
    // The texts of the four lower fields, as record texts of the selected table.
    std::string RecordText(const QLineEdit* edit) const;
    // Applies change to a copy of the selected table's check of field fieldNo and stores it;
    // false when the field has no check.
    template <class Change> bool ChangeValCheck(int fieldNo, Change change);
    // Writes the text of one of the lower fields into check; false when it does not convert.
    bool WriteValCheckText(TvxValCheckDesc& check, const TvxFieldDesc& field, const QLineEdit* edit) const;

    Controls controls_;
    TvxDatabase& database_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    const TvxDataSetListBox& currentTables_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
    TvxIndexCommands& indexes_;
    TvxRefIntCommands& refInts_;
};

} // namespace morvane
