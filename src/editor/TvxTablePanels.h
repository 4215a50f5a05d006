#pragma once
// TvxTablePanels: the displays of both halves of the main window kept in step with the table
// selected in each list: the "Informações" panels, the protected state, the index and rule lists
// and, above, the strict-integrity field. The table commands refresh them on every selection;
// the index and rule commands refill the new table's index and rule lists after their edits.

#include "editor/TvxInfoPanels.h"

#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;

namespace morvane {

class TvxDataSetListBox;
class TvxScriptTableList;
class TvxTableDesc;

class TvxTablePanels
{
public:
    // The window's controls filled here; none is null.
    struct Controls
    {
        // upper half
        TvxInfoPanels Info;
        QLineEdit* PanelProtected = nullptr;
        QTreeWidget* ListIndex = nullptr;
        QPlainTextEdit* MemoIdxProperty = nullptr;
        QTreeWidget* RefIntList = nullptr;
        QLineEdit* EditRITable = nullptr;
        QLineEdit* EditRIType = nullptr;
        QLineEdit* EditUpdateRule = nullptr;
        QLineEdit* EditSRI = nullptr;
        // lower half
        TvxInfoPanels NewInfo;
        QLineEdit* pnNewProtected = nullptr;
        QCheckBox* CheckNewSRI = nullptr;
        QTreeWidget* NewIdxList = nullptr;
        QListWidget* NewRIntList = nullptr;
    };

    // Both lists outlive the panels.
    TvxTablePanels(const Controls& controls, const TvxDataSetListBox& currentTables,
                   const TvxScriptTableList& newTables);

    // The upper half for the table selected in the current database (emptied when none).
    void RefreshCurrentTable();
    // The lower half for the selected new table (emptied when none).
    void RefreshNewTable();
    // NewIdxList ← one entry per index of the selected new table, "Primary" for the primary key;
    // the entries' captions can be edited in place (an index's name).
    void FillNewIndexList();
    // NewRIntList ← one entry per dependent rule of the selected new table, under its name; the
    // captions can be edited in place (a rule's name).
    void FillNewRefIntList();

    // The text the protected-state panels show for a table.
    static QString ProtectionText(bool isProtected);

private:
    static void FillInfo(const TvxInfoPanels& panels, const TvxTableDesc* table);

    Controls controls_;
    const TvxDataSetListBox& currentTables_;
    const TvxScriptTableList& newTables_;
};

} // namespace morvane
