// The main window's handlers: one object per menu area, each given the controls and services it
// works with, and the wiring of every menu item, control event and component event to them.

#include "editor/fmDBScript.h"

#include "db/cpDatabase.h"
#include "editor/TvxAliasCommands.h"
#include "editor/TvxDiagramCommands.h"
#include "editor/TvxEditCommands.h"
#include "editor/TvxFieldCommands.h"
#include "editor/TvxFileCommands.h"
#include "editor/TvxHelpCommands.h"
#include "editor/TvxIndexCommands.h"
#include "editor/TvxRecentDocuments.h"
#include "editor/TvxRefIntCommands.h"
#include "editor/TvxTableCommands.h"
#include "editor/TvxTablePanels.h"
#include "script/cpDBStructScript.h"
#include "views/cpComboBox.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/cpScriptTableListView.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

namespace morvane {

void TFormDBScript::CreateHandlers()
{
    tablePanels_ = std::make_unique<TvxTablePanels>(
        TvxTablePanels::Controls{Info, PanelProtected, ListIndex, MemoIdxProperty, RefIntList, EditRITable, EditRIType,
                                 EditUpdateRule, EditSRI, NewInfo, pnNewProtected, CheckNewSRI, NewIdxList,
                                 NewRIntList},
        *DataSetList, *scriptTableList_);

    helpCommands_ = std::make_unique<TvxHelpCommands>(*help_, *prompts_, HelpContext);

    aliasCommands_ = std::make_unique<TvxAliasCommands>(
        TvxAliasCommands::Controls{ComboAlias, EditPath, BtnPath, EditNewAlias, EditNewDrive, EditNewPath,
                                   pnNewProtected, mnOpenDatabase, mnAliasAddPath},
        engine_, *database_, *structScript_, *scriptTableList_, *DataSetList, *prompts_, *messages_, Document);

    indexCommands_ = std::make_unique<TvxIndexCommands>(
        TvxIndexCommands::Controls{ListIndex, ListIdxFields, MemoIdxProperty, NewIdxFieldsList, NewIdxList,
                                   NewIdxFieldUsedList, CheckNewUnique, CheckNewMaint, CheckNewCaseInsens,
                                   CheckNewDesc, SpdBtnIdxAdd, SpdBtnIdxDel, SpdBtnIdxAddField, SpdBtnIdxDelField,
                                   SpdBtnIdxMoveUp, SpdBtnIdxMoveDown},
        *scriptTableList_, *DataSetList, *tablePanels_, *messages_, Document);

    refIntCommands_ = std::make_unique<TvxRefIntCommands>(
        TvxRefIntCommands::Controls{RefIntList, RIFieldList, RIParentFieldList, EditRITable, EditRIType, EditUpdateRule,
                                    NewRIntList, ComboTables, ListNewRIFields, ScrollNewFieldREL, RadioNewRuleCascade,
                                    RadioNewRuleProhibit, CheckNewSRI, SpdBtnRIntAdd, SpdBtnRIntDel, SpdBtnRIntFieldAdd,
                                    SpdBtnRIntFieldDel},
        *scriptTableList_, *DataSetList, *tablePanels_, *messages_, Document);

    fieldCommands_ = std::make_unique<TvxFieldCommands>(
        TvxFieldCommands::Controls{FieldsList, EditMin, EditMax, EditDefault, EditPicture, PanelRequired, FieldGrid,
                                   EditNewMin, EditNewMax, EditNewDefault, EditNewPicture, CheckNewRequired,
                                   BtnNewPicture},
        *database_, *structScript_, *scriptTableList_, *DataSetList, *prompts_, *messages_, Document, *indexCommands_,
        *refIntCommands_);

    tableCommands_ = std::make_unique<TvxTableCommands>(*tablePanels_, *database_, *structScript_, *scriptTableList_,
                                                        *DataSetList, *prompts_, *messages_, Document);

    fileCommands_ = std::make_unique<TvxFileCommands>(
        TvxFileCommands::Controls{this, ComboAlias, EditPath, EditNewPath, statusBar()},
        TvxFileCommands::Services{Document, FileDialogs, *prompts_, *messages_, *structScript_, *scriptTableList_,
                                  *database_, *DataSetList, *replayer_, *aliasCommands_, version_, engine_,
                                  *history_, *recentDocuments_});

    diagramCommands_ = std::make_unique<TvxDiagramCommands>(this, *database_, *DataSetList, *scriptTableList_,
                                                            *structScript_, *prompts_, *messages_);

    editCommands_ = std::make_unique<TvxEditCommands>(
        TvxEditCommands::Controls{mnUndo, mnRedo, ComboAlias, EditPath, EditNewAlias, EditNewDrive, EditNewPath},
        *history_, Document,
        *structScript_, *database_, *aliasCommands_, *prompts_);
}

void TFormDBScript::ConnectHandlers()
{
    // "&Arquivo"
    TvxFileCommands* file = fileCommands_.get();
    connect(mnNew, &QAction::triggered, file, &TvxFileCommands::mnNewClick);
    connect(mnOpen, &QAction::triggered, file, &TvxFileCommands::mnOpenClick);
    connect(mnSave, &QAction::triggered, file, &TvxFileCommands::mnSaveClick);
    connect(mnSaveAs, &QAction::triggered, file, &TvxFileCommands::mnSaveAsClick);
    connect(mnScriptCompare, &QAction::triggered, file, &TvxFileCommands::mnScriptCompareClick);
    connect(mnScriptCreate, &QAction::triggered, file, &TvxFileCommands::mnScriptCreateClick);
    connect(mnScriptExecute, &QAction::triggered, file, &TvxFileCommands::mnScriptExecuteClick);
    connect(mnScriptClear, &QAction::triggered, file, &TvxFileCommands::mnScriptClearClick);
    connect(mnCommands, &QAction::triggered, file, &TvxFileCommands::mnCommandsClick);
    connect(mnExit, &QAction::triggered, file, &TvxFileCommands::mnExitClick);
    connect(recentDocuments_.get(), &TvxRecentDocuments::OpenRequested, file, &TvxFileCommands::OpenChosen);
    // The title's unsaved mark follows the changed flag.
    Document.ScriptChanged.OnValue = [this](bool changed) { setWindowModified(changed); };
    structScript_->AfterLoad = [file](TvxCommand& comm) { file->StructScriptAfterLoad(comm); };

    // "&Editar": every change marked on the document becomes a step of the history
    TvxEditCommands* edit = editCommands_.get();
    connect(mnUndo, &QAction::triggered, edit, &TvxEditCommands::mnUndoClick);
    connect(mnRedo, &QAction::triggered, edit, &TvxEditCommands::mnRedoClick);
    Document.ScriptChanged.OnSet = [edit] { edit->ScriptChanged(); };

    // "Alia&ses" and the alias controls
    TvxAliasCommands* alias = aliasCommands_.get();
    connect(mnOpenDatabase, &QAction::triggered, alias, &TvxAliasCommands::mnOpenDatabaseClick);
    connect(mnAliasAddPath, &QAction::triggered, alias, &TvxAliasCommands::mnAliasAddPathClick);
    connect(mnAliasNewAdd, &QAction::triggered, alias, &TvxAliasCommands::mnAliasNewAddClick);
    connect(mnAliasNewDelete, &QAction::triggered, alias, &TvxAliasCommands::mnAliasNewDeleteClick);
    connect(ComboAlias, &QComboBox::activated, alias, &TvxAliasCommands::ComboAliasChange);
    connect(BtnPath, &QPushButton::clicked, alias, [alias] { alias->BtnPathAliasClick(false); });
    connect(BtnPathNew, &QPushButton::clicked, alias, [alias] { alias->BtnPathAliasClick(true); });
    connect(SpdBtnPW, &QToolButton::clicked, alias, &TvxAliasCommands::SpdBtnPWClick);
    database_->OnConnected = [alias](bool value) { alias->DatabaseConnected(value); };
    database_->OnPassword = [alias](TvxDatabase& asking) { return alias->DatabasePassword(asking); };

    // "&Tabela" and the selection of both table lists
    TvxTableCommands* table = tableCommands_.get();
    connect(mnTableNew, &QAction::triggered, table, &TvxTableCommands::mnTableNewClick);
    connect(mnTableChange, &QAction::triggered, table, &TvxTableCommands::mnTableChangeClick);
    connect(mnTableAdd, &QAction::triggered, table, &TvxTableCommands::mnTableAddClick);
    connect(mnTableDelete, &QAction::triggered, table, &TvxTableCommands::mnTableDeleteClick);
    connect(DataSetList, &TvxDataSetListBox::OnChange, table, &TvxTableCommands::DataSetListChange);
    connect(DataSetList, &TvxDataSetListBox::OnClick, table, &TvxTableCommands::DataSetListClick);
    connect(ScriptTableListView, &TvxScriptTableListView::Changed, table, &TvxTableCommands::ScriptTableListViewChange);
    connect(ScriptTableListView, &TvxScriptTableListView::OnClick, table, &TvxTableCommands::ScriptTableListViewClick);

    // "&Diagrama": its window and the upper list select the same table
    TvxDiagramCommands* diagram = diagramCommands_.get();
    connect(mnDiagram, &QAction::triggered, diagram, &TvxDiagramCommands::mnDiagramClick);
    connect(DataSetList, &TvxDataSetListBox::OnChange, diagram, &TvxDiagramCommands::CurrentTableChanged);

    // "&Campos" and the field controls (Enter in the grid arrives through the window's key preview)
    TvxFieldCommands* field = fieldCommands_.get();
    connect(mnFieldAdd, &QAction::triggered, field, &TvxFieldCommands::mnFieldAddClick);
    connect(mnFieldChange, &QAction::triggered, field, &TvxFieldCommands::mnFieldChangeClick);
    connect(mnFieldMove, &QAction::triggered, field, &TvxFieldCommands::mnFieldMoveClick);
    connect(mnFieldDelete, &QAction::triggered, field, &TvxFieldCommands::mnFieldDeleteClick);
    connect(FieldGrid, &TvxFieldGrid::OnSelectField, field, &TvxFieldCommands::FieldGridSelectField);
    // Another new table shows its fields without moving the grid's row: the panel follows it.
    const auto showSelectedField = [field, grid = FieldGrid] { field->FieldGridSelectField(grid->Row()); };
    connect(ScriptTableListView, &TvxScriptTableListView::Changed, field, showSelectedField);
    connect(ScriptTableListView, &TvxScriptTableListView::OnClick, field, showSelectedField);
    connect(FieldsList, &QTreeWidget::currentItemChanged, field, &TvxFieldCommands::FieldsListChange);
    // A run of typing in one of them is one undo step.
    TvxEditCommands* steps = editCommands_.get();
    for (QLineEdit* box : {EditNewMin, EditNewMax, EditNewDefault, EditNewPicture}) {
        connect(box, &QLineEdit::textEdited, field,
                [field, box, steps] { steps->Typed([field, box] { field->EditNewValChange(box); }); });
        connect(box, &QLineEdit::editingFinished, field,
                [field, box, steps] { steps->TypingEnded([field, box] { field->EditNewValExit(box); }); });
    }
    connect(CheckNewRequired, &QCheckBox::clicked, field, &TvxFieldCommands::CheckNewRequiredClick);

    // "&Índices" and the index controls; the menu items act as the buttons they stand for
    TvxIndexCommands* index = indexCommands_.get();
    connect(mnIdxAdd, &QAction::triggered, index, &TvxIndexCommands::SpdBtnIdxAddClick);
    connect(SpdBtnIdxAdd, &QToolButton::clicked, index, &TvxIndexCommands::SpdBtnIdxAddClick);
    connect(mnIdxDel, &QAction::triggered, index, &TvxIndexCommands::SpdBtnIdxDelClick);
    connect(SpdBtnIdxDel, &QToolButton::clicked, index, &TvxIndexCommands::SpdBtnIdxDelClick);
    connect(mnIdxAddField, &QAction::triggered, index, &TvxIndexCommands::SpdBtnIdxAddFieldClick);
    connect(SpdBtnIdxAddField, &QToolButton::clicked, index, &TvxIndexCommands::SpdBtnIdxAddFieldClick);
    connect(mnIdxDelField, &QAction::triggered, index, &TvxIndexCommands::SpdBtnIdxDelFieldClick);
    connect(SpdBtnIdxDelField, &QToolButton::clicked, index, &TvxIndexCommands::SpdBtnIdxDelFieldClick);
    connect(mnIdxMoveUp, &QAction::triggered, index, [index] { index->SpdBtnIdxMoveClick(true); });
    connect(SpdBtnIdxMoveUp, &QToolButton::clicked, index, [index] { index->SpdBtnIdxMoveClick(true); });
    connect(mnIdxMoveDown, &QAction::triggered, index, [index] { index->SpdBtnIdxMoveClick(false); });
    connect(SpdBtnIdxMoveDown, &QToolButton::clicked, index, [index] { index->SpdBtnIdxMoveClick(false); });
    for (QCheckBox* box : {CheckNewUnique, CheckNewMaint, CheckNewCaseInsens, CheckNewDesc})
        connect(box, &QCheckBox::clicked, index, [index, box] { index->CheckNewIdxPropertyClick(box); });
    connect(ListIndex, &QTreeWidget::currentItemChanged, index, &TvxIndexCommands::ListIndexChange);
    connect(ListIndex->model(), &QAbstractItemModel::modelReset, index, &TvxIndexCommands::ListIndexChange);
    connect(NewIdxList, &QTreeWidget::currentItemChanged, index, &TvxIndexCommands::NewIdxListChange);
    connect(NewIdxList, &QTreeWidget::itemChanged, index, &TvxIndexCommands::NewIdxListEdited);
    // A refilled list (another table, or after a rule edit) has no index selected.
    connect(NewIdxList->model(), &QAbstractItemModel::modelReset, index, &TvxIndexCommands::NewIdxListChange);
    for (QListWidget* list : {NewIdxFieldsList, NewIdxFieldUsedList})
        connect(list, &QListWidget::currentRowChanged, index, &TvxIndexCommands::UpdateControls);

    // "&Int. Ref." and the rule controls; the menu items act as the buttons they stand for
    TvxRefIntCommands* refInt = refIntCommands_.get();
    connect(mnRIntAdd, &QAction::triggered, refInt, &TvxRefIntCommands::SpdBtnRIntAddClick);
    connect(SpdBtnRIntAdd, &QToolButton::clicked, refInt, &TvxRefIntCommands::SpdBtnRIntAddClick);
    connect(mnRIntDel, &QAction::triggered, refInt, &TvxRefIntCommands::SpdBtnRIntDelClick);
    connect(SpdBtnRIntDel, &QToolButton::clicked, refInt, &TvxRefIntCommands::SpdBtnRIntDelClick);
    connect(mnRIntAddField, &QAction::triggered, refInt, &TvxRefIntCommands::SpdBtnRIntFieldAddClick);
    connect(SpdBtnRIntFieldAdd, &QToolButton::clicked, refInt, &TvxRefIntCommands::SpdBtnRIntFieldAddClick);
    connect(mnRIntDelField, &QAction::triggered, refInt, &TvxRefIntCommands::SpdBtnRIntFieldDelClick);
    connect(SpdBtnRIntFieldDel, &QToolButton::clicked, refInt, &TvxRefIntCommands::SpdBtnRIntFieldDelClick);
    connect(RefIntList, &QTreeWidget::currentItemChanged, refInt, &TvxRefIntCommands::RefIntListChange);
    connect(RefIntList->model(), &QAbstractItemModel::modelReset, refInt, &TvxRefIntCommands::RefIntListChange);
    connect(NewRIntList, &QListWidget::currentRowChanged, refInt, &TvxRefIntCommands::NewRIntListChange);
    connect(NewRIntList, &QListWidget::itemChanged, refInt, &TvxRefIntCommands::NewRIntListEdited);
    connect(NewRIntList->model(), &QAbstractItemModel::modelReset, refInt, &TvxRefIntCommands::NewRIntListChange);
    connect(ListNewRIFields, &QListWidget::currentRowChanged, refInt, &TvxRefIntCommands::UpdateControls);
    connect(ComboTables, &TvxCombobox::OnCloseUp, refInt, &TvxRefIntCommands::ComboTablesCloseUp);
    for (QRadioButton* rule : {RadioNewRuleCascade, RadioNewRuleProhibit})
        connect(rule, &QRadioButton::clicked, refInt, &TvxRefIntCommands::GroupNewRuleClick);
    connect(CheckNewSRI, &QCheckBox::clicked, refInt, &TvxRefIntCommands::CheckNewSRIClick);

    // "Aj&uda" (F1 arrives through the window's key preview)
    TvxHelpCommands* help = helpCommands_.get();
    connect(mnHelpContents, &QAction::triggered, help, &TvxHelpCommands::mnHelpContentsClick);
    connect(mnHelpAbout, &QAction::triggered, help, &TvxHelpCommands::mnHelpAboutClick);
}

} // namespace morvane
