#pragma once
// TvxFieldCommands: the "&Campos" menu and the field controls of the main window: creating,
// changing, copying from the current table and deleting fields of the selected new table
// through the field dialog and the script, and the validation panels under both field lists.

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace morvane {

class IvxPrompts;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxFieldGrid;
class TvxFieldsListBox;
class TvxIndexCommands;
class TvxMessages;
class TvxRefIntCommands;
class TvxScriptTableList;
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
                     TvxScriptTableList& newTables, TvxDataSetListBox& currentTables, IvxPrompts& prompts,
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
    // The text of one of the four lower validation fields, Sender, changed; or it was left.
    void EditNewValChange(QLineEdit* Sender);
    void EditNewValExit(QLineEdit* Sender);
    void CheckNewRequiredClick();

    // The lower validation fields and "&Requerido" emptied and disabled (no new field shown).
    void EmptyNewValidation();

private:
    Controls controls_;
    TvxDatabase& database_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    TvxDataSetListBox& currentTables_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
    TvxIndexCommands& indexes_;
    TvxRefIntCommands& refInts_;
};

} // namespace morvane
