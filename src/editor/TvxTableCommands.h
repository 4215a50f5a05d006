#pragma once
// TvxTableCommands: the "&Tabela" menu of the main window: creating, renaming, copying from the
// current database and deleting new tables through the script, with the rule clean-ups that
// follow; and the selection of both table lists, which refreshes the panels of each half.

#include <QObject>

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class IvxPrompts;
class TvxDBScript;
class TvxDataSetListBox;
class TvxDatabase;
class TvxMessages;
class TvxScriptTableList;
class TvxTableDesc;
class TvxTablePanels;
struct TvxDocumentState;

class TvxTableCommands : public QObject
{
    Q_OBJECT

public:
    // Everything given outlives the commands.
    TvxTableCommands(TvxTablePanels& panels, const TvxDatabase& database, TvxDBScript& script,
                     TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables, IvxPrompts& prompts,
                     TvxMessages& messages, TvxDocumentState& document);

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

    // Master table named by a rule's other-table text: file name without directory and extension.
    static std::string MasterName(std::string_view otherTable);
    // The other-table text naming newName instead, with the extension the old text had.
    static std::string Repointed(std::string_view otherTable, std::string_view newName);

private:
    // The table name asked for (10023/10024), blanks around it removed; empty when the dialog
    // was cancelled or no name given.
    QString EnteredName(const QString& proposed, bool englishForm) const;
    // Texts of the new structure's entries.
    std::vector<std::string> NewTableNames() const;
    // Every rule of table whose master is oldName (letter case ignored) names newName instead.
    static void RepointRules(TvxTableDesc& table, std::string_view oldName, std::string_view newName);
    // Prepares the copy's rules for the new structure: masters added under another name are
    // re-pointed; for each master still missing the user is asked (109). False when cancelled.
    bool SettleMasters(TvxTableDesc& copy, const std::string& ownName);

    TvxTablePanels& panels_;
    const TvxDatabase& database_;
    TvxDBScript& script_;
    TvxScriptTableList& newTables_;
    const TvxDataSetListBox& currentTables_;
    IvxPrompts& prompts_;
    TvxMessages& messages_;
    TvxDocumentState& document_;
};

} // namespace morvane
