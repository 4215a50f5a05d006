#pragma once
// TvxTableCommands: the "&Tabela" menu and the information panels of the main window:
// creating, renaming, copying from the current database and deleting new tables through the
// script, and keeping both halves' panels in step with the table selected in each list.

#include "editor/TvxInfoPanels.h"

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;

namespace morvane {

class IvxPrompts;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxIndexCommands;
class TvxMessages;
class TvxRefIntCommands;
class TvxScriptTableList;
struct TvxDocumentState;

class TvxTableCommands : public QObject
{
    Q_OBJECT

public:
    // The window's controls these commands fill; none is null.
    struct Controls
    {
        // upper half
        TvxInfoPanels Info;
        QLabel* PanelProtected = nullptr;
        QTreeWidget* ListIndex = nullptr;
        QPlainTextEdit* MemoIdxProperty = nullptr;
        QTreeWidget* RefIntList = nullptr;
        QLineEdit* EditRITable = nullptr;
        QLineEdit* EditRIType = nullptr;
        QLineEdit* EditUpdateRule = nullptr;
        QLineEdit* EditSRI = nullptr;
        // lower half
        TvxInfoPanels NewInfo;
        QLabel* pnNewProtected = nullptr;
        QCheckBox* CheckNewSRI = nullptr;
        QTreeWidget* NewIdxList = nullptr;
        QListWidget* NewRIntList = nullptr;
    };

    // Everything given outlives the commands; indexes and refInts fill their new-table lists
    // when the new table's panels are refreshed.
    TvxTableCommands(const Controls& controls, TvxDatabase& database, TvxDBScript& script,
                     TvxScriptTableList& newTables, TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                     TvxMessages& messages, TvxDocumentState& document, TvxIndexCommands& indexes,
                     TvxRefIntCommands& refInts);

    void mnTableNewClick();
    void mnTableChangeClick();
    void mnTableAddClick();
    void mnTableDeleteClick();

    // The current database's table list changed its selection, or was clicked.
    void DataSetListChange();
    void DataSetListClick();
    // The same for the new structure's table list.
    void ScriptTableListViewChange();
    void ScriptTableListViewClick();

    // The upper half's panels, index and rule lists for the selected current table.
    void RefreshCurrentTable();
    // The lower half's panels, index and rule lists for the selected new table.
    void RefreshNewTable();

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
