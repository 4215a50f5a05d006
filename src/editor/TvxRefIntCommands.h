#pragma once
// TvxRefIntCommands: the "&Int. Ref." menu and both referential-integrity tabs of the main
// window: the read-only rules of the current table, and the editing of the selected new
// table's rules (add, delete, name, master table, fields, update rule, strict integrity) with
// the drawing of which field pairs with which. Rule edits change the new table's descriptor
// directly and record no script command; each one that succeeds marks the script changed.
// Refusals (descriptor codes, editor ids 102, 111, 120, 121) are shown as messages and change
// nothing. The buttons, the master list and the update rule are enabled only while a rule (or,
// for "+", a new table) is there to act on.

#include "editor/TvxRelationView.h"
#include "model/TvxRefIntRel.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QRadioButton;
class QScrollArea;
class QToolButton;
class QTreeWidget;

namespace morvane {

class TvxCombobox;
class TvxDataSetListBox;
class TvxMessages;
class TvxScriptTableList;
class TvxTableDesc;
class TvxTablePanels;
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
        QToolButton* SpdBtnRIntAdd = nullptr;
        QToolButton* SpdBtnRIntDel = nullptr;
        QToolButton* SpdBtnRIntFieldAdd = nullptr;
        QToolButton* SpdBtnRIntFieldDel = nullptr;
    };

    // Everything given outlives the commands; panels refills the new index list after rule
    // edits that create, delete or rename an index.
    TvxRefIntCommands(const Controls& controls, TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables,
                      TvxTablePanels& panels, TvxMessages& messages, TvxDocumentState& document);
    ~TvxRefIntCommands() override;

    void SpdBtnRIntAddClick();
    void SpdBtnRIntDelClick();
    void SpdBtnRIntFieldAddClick();
    void SpdBtnRIntFieldDelClick();
    // Selection in the current table's rule list.
    void RefIntListChange();
    // Selection in the new table's rule list, and every refill of it.
    void NewRIntListChange();
    // The in-place edit of an entry of the new rule list finished: the rule's new name.
    void NewRIntListEdited(QListWidgetItem* Item);
    // The drop-down list of master tables closed.
    void ComboTablesCloseUp();
    // A click on "&Cascata" or "&Proibido".
    void GroupNewRuleClick();
    void CheckNewSRIClick();

    // The relation drawing: a side given replaces that side's labels (null keeps them); the
    // connectors always follow, one per pair of labels.
    void DrawRelation(const QStringList* ThisFields, const QStringList* MasterFields);
    // The items drawn now.
    const TvxRefIntRel& Relation() const { return relation_; }

    // "&Campos" refilled with the selected rule's candidate fields (after a field command).
    void RefreshCandidates();
    // Enables each button, the master list and the update rule exactly while they have
    // something to act on.
    void UpdateControls();

private:
    // Position of the rule the entry at row of NewRIntList stands for; -1 when none.
    int RulePosOfRow(int row) const;
    // The same for the selected entry.
    int SelectedRulePos() const;
    // The new table named as the master of rule pos (letter case ignored), or null.
    TvxTableDesc* MasterOf(int pos) const;
    QStringList RuleFields(int pos) const;
    QStringList MasterFields(int pos, const TvxTableDesc& master) const;
    // Sets an entry's caption without taking it for an edit by the user.
    void SetCaption(QListWidgetItem* item, const QString& caption);
    // Selects the master list's entry of the rule's present master (none when it has none).
    void ShowMaster(int pos);
    void ShowUpdateRule(int pos);
    void MarkChanged();

    Controls controls_;
    TvxScriptTableList& newTables_;
    const TvxDataSetListBox& currentTables_;
    TvxTablePanels& panels_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
    TvxRefIntRel relation_;
    std::unique_ptr<TvxRelationView> relationView_;
};

} // namespace morvane
