#include "editor/TvxTableCommands.h"

#include "db/cpDatabase.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxMessages.h"
#include "editor/TvxTablePanels.h"
#include "model/vxNameRules.h"
#include "model/vxTextCase.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "views/TvxTableListItem.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr int vxMsgNoTableSelected = 101;
constexpr int vxMsgNoNewTableSelected = 102;
constexpr int vxMsgTableNameNotAllowed = 127;
constexpr int vxMsgNoNewAlias = 108;
constexpr int vxMsgMasterMissing = 109;
constexpr int vxAdvMasterMissing = 10151;
constexpr int vxMsgNoDatabaseOpen = 110;
constexpr int vxLblTableNameTitle = 10023;
constexpr int vxLblTableName = 10024;
// What a rule's other-table text holds (its record area less the two closing bytes).
constexpr std::size_t vxOtherTableWidth = 259;

std::unique_ptr<TvxCommand> TableCommand(TvxCommandKind kind, std::initializer_list<TvxValue> values)
{
    return std::make_unique<TvxCommand>(kind, values);
}

} // namespace

TvxTableCommands::TvxTableCommands(TvxTablePanels& panels, const TvxDatabase& database, TvxDBScript& script,
                                   TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables,
                                   IvxPrompts& prompts, TvxMessages& messages, TvxDocumentState& document)
    : panels_(panels), database_(database), script_(script), newTables_(newTables), currentTables_(currentTables),
      prompts_(prompts), messages_(messages), document_(document)
{}

std::string TvxTableCommands::MasterName(std::string_view otherTable)
{
    const std::string_view file = StripDirectory(otherTable);
    return std::string(file.substr(0, file.find('.')));
}

std::string TvxTableCommands::Repointed(std::string_view otherTable, std::string_view newName)
{
    const std::string_view file = StripDirectory(otherTable);
    const std::size_t dot = file.find('.');
    std::string text(newName);
    if (dot != std::string_view::npos)
        text += file.substr(dot);
    if (text.size() > vxOtherTableWidth)
        text.resize(vxOtherTableWidth);
    return text;
}

std::vector<std::string> TvxTableCommands::NewTableNames() const
{
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(newTables_.Count()));
    for (int i = 0; i < newTables_.Count(); ++i)
        names.push_back(newTables_.NameAt(i));
    return names;
}

void TvxTableCommands::RepointRules(TvxTableDesc& table, std::string_view oldName, std::string_view newName)
{
    for (int i = 0; i < table.RefIntCount(); ++i) {
        TvxRefIntDesc& rule = table.RefIntAt(i);
        if (rule.kind() == TvxRefIntDesc::Dependent && SameText(MasterName(rule.otherTable()), oldName))
            rule.setOtherTable(Repointed(rule.otherTable(), newName));
    }
}

namespace {

// What is wrong with a table name, as the message after the name says it: the strings from
// vxStrNameFaults on, in the order of TvxNameFault after None.
constexpr int vxStrNameFaults = 10170;
constexpr int vxStrTableNameTaken = 10178;

QString NameFaultMessage(TvxNameFault fault)
{
    if (fault == TvxNameFault::None)
        return {};
    const QString text = TvxMessages::LoadMessage(vxStrNameFaults + static_cast<int>(fault) - 1);
    return fault == TvxNameFault::TooLong ? text.arg(MaxTableNameBytes) : text;
}

} // namespace

QString TvxTableCommands::EnteredName(const QString& proposed, bool englishForm) const
{
    const auto entered = prompts_.EnterName(TvxMessages::LoadMessage(vxLblTableNameTitle),
                                            TvxMessages::LoadMessage(vxLblTableName), proposed, englishForm);
    if (!entered)
        return {};
    const QString name = entered->trimmed();
    const TvxNameFault fault = TableNameFault(QStringToRecordText(name));
    if (fault == TvxNameFault::None)
        return name;
    messages_.AskMessage(vxMsgTableNameNotAllowed, name + ": " + NameFaultMessage(fault), TvxMsgButtons::Ok);
    return {};
}

// --- "&Novo" ---

void TvxTableCommands::mnTableNewClick()
{
    if (script_.FindFirstOfKind(ckAddAlias) < 0 && script_.FindFirstOfKind(ckAddNewAlias) < 0) {
        messages_.ShowMessageCode(vxMsgNoNewAlias);
        return;
    }
    const QString name = EnteredName(QString(), false);
    if (name.isEmpty())
        return;
    if (script_.FindTableCommand(QStringToRecordText(name)) >= 0) {
        messages_.AskMessage(vxStrTableNameTaken, name, TvxMsgButtons::Ok);
        return;
    }
    auto command = TableCommand(ckCreateTable, {QStringToRecordText(name)});
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    document_.ScriptChanged = true;
}

// --- "&Alterar" ---

void TvxTableCommands::mnTableChangeClick()
{
    if (!newTables_.SelectedTable()) {
        messages_.ShowMessageCode(vxMsgNoNewTableSelected);
        return;
    }
    const std::string oldName = newTables_.SelectedName();
    const QString entered = EnteredName(RecordTextToQString(oldName), false);
    if (entered.isEmpty())
        return;
    const std::string newName = QStringToRecordText(entered);
    auto command = TableCommand(ckChangeTable, {oldName, newName});
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    // Rules whose master was the renamed table now name it by its new name (keeping the file's
    // extension), so that the walk below keeps them.
    for (int i = 0; i < newTables_.Count(); ++i)
        RepointRules(*newTables_.TableAt(i), oldName, newName);
    const std::vector<std::string> names = NewTableNames();
    const std::string selected = newTables_.SelectedName();
    for (int i = 0; i < newTables_.Count(); ++i) {
        TvxTableDesc& table = *newTables_.TableAt(i);
        if (newTables_.NameAt(i) != selected)
            table.CheckMasterTables(newTables_.NameAt(i), names, true);
        else
            table.SetAllNames(newName);
    }
    panels_.RefreshNewTable();
    document_.ScriptChanged = true;
}

// --- "&Incluir" ---

bool TvxTableCommands::SettleMasters(TvxTableDesc& copy, const std::string& ownName)
{
    const std::vector<std::string> names = NewTableNames();
    if (copy.CheckMasterTables(ownName, names, false) != 2)
        return true;
    const auto known = [&](const std::string& master) {
        return SameText(master, ownName) ||
               std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameText(n, master); });
    };
    // Masters that were added from the current database under another name go by that name.
    for (int i = 0; i < copy.RefIntCount(); ++i) {
        TvxRefIntDesc& rule = copy.RefIntAt(i);
        const std::string master = MasterName(rule.otherTable());
        if (rule.kind() != TvxRefIntDesc::Dependent || known(master))
            continue;
        const std::string newName = script_.NewNameOfAddedTable(master);
        if (!newName.empty())
            rule.setOtherTable(Repointed(rule.otherTable(), newName));
    }
    // Each master still missing is named to the user once; the rules on it go.
    std::vector<std::string> asked;
    for (int i = 0; i < copy.RefIntCount(); ++i) {
        const TvxRefIntDesc& rule = copy.RefIntAt(i);
        const std::string master = MasterName(rule.otherTable());
        if (rule.kind() != TvxRefIntDesc::Dependent || known(master) ||
            std::any_of(asked.begin(), asked.end(), [&](const std::string& a) { return SameText(a, master); }))
            continue;
        const QString masterName = RecordTextToQString(master, copy.CodePage());
        if (messages_.AskMessage(vxMsgMasterMissing, masterName, TvxMsgButtons::OkCancel,
                                 TvxMessages::LoadMessage(vxAdvMasterMissing).arg(masterName)) != TvxMsgResult::Ok)
            return false;
        asked.push_back(master);
    }
    if (!asked.empty())
        copy.CheckMasterTables(ownName, names, true);
    return true;
}

void TvxTableCommands::mnTableAddClick()
{
    if (!database_.Connected()) {
        messages_.ShowMessageCode(vxMsgNoDatabaseOpen);
        return;
    }
    const TvxTableDesc* current = currentTables_.SelectedTable();
    if (!current) {
        messages_.ShowMessageCode(vxMsgNoTableSelected);
        return;
    }
    auto copy = std::make_unique<TvxTableDesc>(current->Clone());
    const std::string ownName = currentTables_.SelectedName();
    if (!SettleMasters(*copy, ownName))
        return;
    const QString proposed = TvxTableListItem::DisplayText(ownName);
    const QString entered = EnteredName(proposed, true);
    if (entered.isEmpty())
        return;
    // The name as the source lists it, unless the user typed another.
    const std::string name = entered == proposed ? ownName : QStringToRecordText(entered);
    // A rule of the table on itself follows the table to its new name.
    RepointRules(*copy, ownName, name);
    auto command = TableCommand(ckAddTable, {name});
    const int code = script_.AddCommand(command, TvxCommandExtras::ForAddTable(std::move(copy)));
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    document_.ScriptChanged = true;
}

// --- "&Apagar" ---

void TvxTableCommands::mnTableDeleteClick()
{
    if (!newTables_.SelectedTable()) {
        messages_.ShowMessageCode(vxMsgNoNewTableSelected);
        return;
    }
    auto command = TableCommand(ckDeleteTable, {newTables_.SelectedName()});
    const int code = script_.AddCommand(command);
    if (code != 0) {
        messages_.ShowMessageCode(code);
        return;
    }
    // Rules whose master went with the table go as well.
    const std::vector<std::string> names = NewTableNames();
    for (int i = 0; i < newTables_.Count(); ++i)
        newTables_.TableAt(i)->CheckMasterTables(newTables_.NameAt(i), names, true);
    panels_.RefreshNewTable();
    document_.ScriptChanged = true;
}

// --- selection ---

void TvxTableCommands::DataSetListChange()
{
    panels_.RefreshCurrentTable();
}

void TvxTableCommands::DataSetListClick()
{
    panels_.RefreshCurrentTable();
}

void TvxTableCommands::ScriptTableListViewChange()
{
    panels_.RefreshNewTable();
}

void TvxTableCommands::ScriptTableListViewClick()
{
    panels_.RefreshNewTable();
}

} // namespace morvane
