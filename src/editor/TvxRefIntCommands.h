#pragma once
// TvxRefIntCommands: the "&Int. Ref." menu and both referential-integrity tabs of the main
// window: the read-only rules of the current table, and the editing of the selected new
// table's rules (add, delete, name, master table, fields, update rule, strict integrity) with
// the drawing of which field pairs with which. Rule edits change the new table's descriptor
// directly and record no script command.

#include <QObject>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QRadioButton;
class QScrollArea;
class QTreeWidget;

namespace morvane {

class TvxCombobox;
class TvxDataSetListBox;
class TvxIndexCommands;
class TvxMessages;
class TvxScriptTableList;
struct TvxDocumentState;

class TvxRefIntCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands read and change; none is null.
    struct Controls
    {
        // upper "Int. Ref."
        QTreeWidget* RefIntList = nullptr;
        QListWidget* RIFieldList = nullptr;
        QListWidget* RIParentFieldList = nullptr;
        QLineEdit* EditRITable = nullptr;
        QLineEdit* EditRIType = nullptr;
        QLineEdit* EditUpdateRule = nullptr;
        // lower "Int. Ref."
        QListWidget* NewRIntList = nullptr;
        TvxCombobox* ComboTables = nullptr;
        QListWidget* ListNewRIFields = nullptr;
        QScrollArea* ScrollNewFieldREL = nullptr;
        QRadioButton* RadioNewRuleCascade = nullptr;
        QRadioButton* RadioNewRuleProhibit = nullptr;
        QCheckBox* CheckNewSRI = nullptr;
    };

    // Everything given outlives the commands; indexes refills the new index list after rule
    // edits that create, delete or rename an index.
    TvxRefIntCommands(const Controls& controls, TvxScriptTableList& newTables, TvxDataSetListBox& currentTables,
                      TvxIndexCommands& indexes, TvxMessages& messages, TvxDocumentState& document);

    void SpdBtnRIntAddClick();
    void SpdBtnRIntDelClick();
    void SpdBtnRIntFieldAddClick();
    void SpdBtnRIntFieldDelClick();
    // Selection in the current table's rule list.
    void RefIntListChange();
    // Selection in the new table's rule list.
    void NewRIntListChange();
    // The in-place edit of an entry of the new rule list finished: the rule's new name.
    void NewRIntListEdited(QListWidgetItem* Item);
    // The drop-down list of master tables closed.
    void ComboTablesCloseUp();
    // A click on "&Cascata" or "&Proibido".
    void GroupNewRuleClick();
    void CheckNewSRIClick();

private:
    Controls controls_;
    TvxScriptTableList& newTables_;
    TvxDataSetListBox& currentTables_;
    TvxIndexCommands& indexes_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
};

} // namespace morvane
