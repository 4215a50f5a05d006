#include "editor/TvxRefIntCommands.h"

#include "editor/TvxDocumentState.h"
#include "editor/TvxMessages.h"
#include "editor/TvxTablePanels.h"
#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "script/TvxScriptTableList.h"
#include "views/cpComboBox.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace morvane {

namespace {

constexpr int vxMsgRefIntNameInUse = 111;
constexpr int vxMsgNoRefIntSelected = 120;
constexpr int vxMsgSelectRuleField = 121;
constexpr int vxMsgIndexNameInUse = 122;

constexpr int vxLblUnknown = 10012;
constexpr int vxLblMaster = 10013;
constexpr int vxLblDependent = 10014;
constexpr int vxLblProhibit = 10015;
constexpr int vxLblCascade = 10016;

constexpr int vxMaxRuleName = 30;
constexpr Qt::ItemFlags vxEditableEntry = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;

// Geometry of the relation drawing: this side's labels end at x = 70, the master's start after
// a connector of 30 pixels, rows 13 pixels apart from y = 10; wider where the font needs it.
constexpr int vxRelTop = 10;
constexpr int vxRelThisRight = 70;
constexpr int vxRelConnectorWidth = 30;
constexpr int vxRelRowHeight = 13;
constexpr char vxRelConnector[] = "<------>";

// The table a rule's other-table text names: directory removed, text before the first ".".
std::string MasterName(std::string_view otherTable)
{
    const std::size_t slash = otherTable.find_last_of("\\/:");
    if (slash != std::string_view::npos)
        otherTable.remove_prefix(slash + 1);
    return std::string(otherTable.substr(0, otherTable.find('.')));
}

// The other-table text without its directory.
std::string FileNameOnly(std::string_view otherTable)
{
    const std::size_t slash = otherTable.find_last_of("\\/:");
    return std::string(slash == std::string_view::npos ? otherTable : otherTable.substr(slash + 1));
}

std::string FieldName(const TvxTableDesc& table, int fieldNo)
{
    const TvxFieldDesc* field = table.GetField(fieldNo - 1);
    return field ? field->name() : std::string();
}

QStringList ToQStrings(const std::vector<std::string>& names, int codePage)
{
    QStringList out;
    for (const auto& name : names)
        out << RecordTextToQString(name, codePage);
    return out;
}

} // namespace

TvxRefIntCommands::TvxRefIntCommands(const Controls& controls, TvxScriptTableList& newTables,
                                     const TvxDataSetListBox& currentTables, TvxTablePanels& panels,
                                     TvxMessages& messages, TvxDocumentState& document)
    : controls_(controls), newTables_(newTables), currentTables_(currentTables), panels_(panels), messages_(messages),
      document_(document), relationView_(std::make_unique<TvxRelationView>(controls.ScrollNewFieldREL->widget()))
{
    UpdateControls();
}

TvxRefIntCommands::~TvxRefIntCommands() = default;

// ---- helpers --------------------------------------------------------------------------------

int TvxRefIntCommands::RulePosOfRow(int row) const
{
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (row < 0 || !table)
        return -1;
    // The list shows the dependent rules only: the row-th of them.
    int dependents = 0;
    for (int pos = 0; pos < table->RefIntCount(); ++pos) {
        if (table->GetRefInt(pos)->kind() != TvxRefIntDesc::Dependent)
            continue;
        if (dependents++ == row)
            return pos;
    }
    return -1;
}

int TvxRefIntCommands::SelectedRulePos() const
{
    return RulePosOfRow(controls_.NewRIntList->currentRow());
}

TvxTableDesc* TvxRefIntCommands::MasterOf(int pos) const
{
    const TvxRefIntDesc* rule = newTables_.GetRefInt(pos);
    if (!rule)
        return nullptr;
    const std::string name = MasterName(rule->otherTable());
    return name.empty() ? nullptr : newTables_.TableByName(name);
}

QStringList TvxRefIntCommands::RuleFields(int pos) const
{
    std::vector<std::string> names;
    newTables_.ListRuleFields(names, pos);
    const TvxTableDesc* table = newTables_.SelectedTable();
    return ToQStrings(names, table ? table->CodePage() : vxNewTableCodePage);
}

QStringList TvxRefIntCommands::MasterFields(int pos, const TvxTableDesc& master) const
{
    std::vector<std::string> names;
    newTables_.ListMasterFields(names, master, pos);
    return ToQStrings(names, master.CodePage());
}

void TvxRefIntCommands::SetCaption(QListWidgetItem* item, const QString& caption)
{
    const QSignalBlocker block(controls_.NewRIntList);
    item->setText(caption);
}

void TvxRefIntCommands::MarkChanged()
{
    document_.ScriptChanged = true;
}

void TvxRefIntCommands::ShowMaster(int pos)
{
    const TvxRefIntDesc* rule = newTables_.GetRefInt(pos);
    const TvxTableDesc* master = MasterOf(pos);
    int entry = -1;
    if (rule && master)
        entry = newTables_.IndexOfName(MasterName(rule->otherTable()));
    const QSignalBlocker block(controls_.ComboTables);
    controls_.ComboTables->setCurrentIndex(entry);
}

void TvxRefIntCommands::ShowUpdateRule(int pos)
{
    const TvxRefIntDesc* rule = pos >= 0 ? newTables_.GetRefInt(pos) : nullptr;
    QRadioButton* cascade = controls_.RadioNewRuleCascade;
    QRadioButton* prohibit = controls_.RadioNewRuleProhibit;
    // No choice shown: both buttons off, which an exclusive pair cannot be put into directly.
    cascade->setAutoExclusive(false);
    prohibit->setAutoExclusive(false);
    cascade->setChecked(rule && rule->updateRule() != TvxRefIntDesc::Prohibit);
    prohibit->setChecked(rule && rule->updateRule() == TvxRefIntDesc::Prohibit);
    cascade->setAutoExclusive(true);
    prohibit->setAutoExclusive(true);
}

void TvxRefIntCommands::UpdateControls()
{
    const Controls& c = controls_;
    const int pos = SelectedRulePos();
    const bool hasRule = pos >= 0;
    c.SpdBtnRIntAdd->setEnabled(newTables_.SelectedTable() != nullptr);
    c.SpdBtnRIntDel->setEnabled(hasRule);
    c.SpdBtnRIntFieldAdd->setEnabled(hasRule && c.ListNewRIFields->currentRow() >= 0);
    c.SpdBtnRIntFieldDel->setEnabled(hasRule && newTables_.SelectedTable()->RefIntFilledCount(pos) > 0);
    c.ComboTables->setEnabled(hasRule);
    c.RadioNewRuleCascade->setEnabled(hasRule);
    c.RadioNewRuleProhibit->setEnabled(hasRule);
}

void TvxRefIntCommands::RefreshCandidates()
{
    QListWidget* list = controls_.ListNewRIFields;
    list->clear();
    const int pos = SelectedRulePos();
    if (pos >= 0) {
        std::vector<std::string> names;
        newTables_.ListNextRuleFields(names, pos);
        list->addItems(ToQStrings(names, newTables_.SelectedTable()->CodePage()));
    }
    UpdateControls();
}

// ---- display --------------------------------------------------------------------------------

void TvxRefIntCommands::DrawRelation(const QStringList* ThisFields, const QStringList* MasterFields)
{
    const QFontMetrics metrics(controls_.ScrollNewFieldREL->widget()->font());
    const int rowHeight = std::max(vxRelRowHeight, metrics.height());
    // The connector keeps a little space on either side of its arrow.
    const int connectorWidth = std::max(vxRelConnectorWidth, metrics.horizontalAdvance(vxRelConnector) + 12);
    const auto width = [&metrics](const QString& text) { return metrics.horizontalAdvance(text) + 4; };

    if (ThisFields) {
        // The labels end where the connectors start; wide names push that point to the right.
        int right = vxRelThisRight;
        for (const QString& name : *ThisFields)
            right = std::max(right, width(name) + 4);
        auto& labels = relation_.ThisLabels();
        labels.clear();
        for (int i = 0; i < ThisFields->size(); ++i) {
            const int w = width((*ThisFields)[i]);
            labels.push_back({(*ThisFields)[i].toStdString(), right - w, vxRelTop + rowHeight * i, w, rowHeight, true});
        }
    }
    const int thisRight = relation_.ThisLabels().empty()
                              ? vxRelThisRight
                              : relation_.ThisLabels().front().left + relation_.ThisLabels().front().width;
    if (MasterFields) {
        auto& labels = relation_.MasterLabels();
        labels.clear();
        for (int i = 0; i < MasterFields->size(); ++i)
            labels.push_back({(*MasterFields)[i].toStdString(), thisRight + connectorWidth, vxRelTop + rowHeight * i,
                              width((*MasterFields)[i]), rowHeight, false});
    } else {
        // A master side kept moves with this side's right edge.
        for (TvxRefIntRelItem& label : relation_.MasterLabels())
            label.left = thisRight + connectorWidth;
    }
    auto& connectors = relation_.Connectors();
    connectors.clear();
    const std::size_t pairs = std::min(relation_.ThisLabels().size(), relation_.MasterLabels().size());
    for (std::size_t i = 0; i < pairs; ++i)
        connectors.push_back({vxRelConnector, thisRight + 6, vxRelTop + rowHeight * static_cast<int>(i),
                              connectorWidth - 12, rowHeight, false});
    relationView_->Show(relation_);
}

void TvxRefIntCommands::RefIntListChange()
{
    const Controls& c = controls_;
    c.RIFieldList->clear();
    c.RIParentFieldList->clear();
    const TvxTableDesc* table = currentTables_.SelectedTable();
    QTreeWidgetItem* item = c.RefIntList->currentItem();
    const TvxRefIntDesc* rule = table && item ? table->GetRefInt(c.RefIntList->indexOfTopLevelItem(item)) : nullptr;
    if (!rule) {
        c.EditRITable->clear();
        c.EditRIType->clear();
        c.EditUpdateRule->clear();
        return;
    }
    const int codePage = table->CodePage();
    c.EditRITable->setText(RecordTextToQString(FileNameOnly(rule->otherTable()), codePage));
    const TvxTableDesc* other = currentTables_.TableByName(MasterName(rule->otherTable()));
    const int fields = std::clamp(rule->fieldCount(), 0, TvxRefIntDesc::MaxFields);
    for (int i = 0; i < fields; ++i) {
        c.RIFieldList->addItem(RecordTextToQString(FieldName(*table, rule->thisField(i)), codePage));
        // An other table that the open database lacks shows no master fields.
        if (other)
            c.RIParentFieldList->addItem(
                RecordTextToQString(FieldName(*other, rule->otherField(i)), other->CodePage()));
    }
    c.EditRIType->setText(vxLoadString(rule->kind() == TvxRefIntDesc::Dependent ? vxLblDependent : vxLblMaster));
    const int update = rule->updateRule();
    c.EditUpdateRule->setText(vxLoadString(update == TvxRefIntDesc::Prohibit  ? vxLblProhibit
                                           : update == TvxRefIntDesc::Cascade ? vxLblCascade
                                                                              : vxLblUnknown));
}

void TvxRefIntCommands::NewRIntListChange()
{
    const Controls& c = controls_;
    {
        const QSignalBlocker block(c.ComboTables);
        c.ComboTables->clear();
    }
    c.ListNewRIFields->clear();
    ShowUpdateRule(-1);
    relation_.Reset();
    relationView_->Show(relation_);

    const int pos = SelectedRulePos();
    if (pos >= 0) {
        {
            const QSignalBlocker block(c.ComboTables);
            for (int i = 0; i < newTables_.Count(); ++i)
                c.ComboTables->addItem(RecordTextToQString(newTables_.NameAt(i)));
        }
        ShowMaster(pos);
        RefreshCandidates();
        const QStringList thisSide = RuleFields(pos);
        const TvxTableDesc* master = MasterOf(pos);
        const QStringList masterSide = master ? MasterFields(pos, *master) : QStringList();
        DrawRelation(&thisSide, &masterSide);
        ShowUpdateRule(pos);
    }
    UpdateControls();
}

// ---- commands -------------------------------------------------------------------------------

void TvxRefIntCommands::SpdBtnRIntAddClick()
{
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        messages_.ShowMessageCode(vxMsgNoNewTableSelected);
        return;
    }
    if (!table->HasPrimaryKey()) {
        messages_.ShowMessageCode(vxErrNeedsPrimaryKey);
        return;
    }
    TvxRefIntDesc rule;
    rule.setName(table->NewRefIntName().substr(0, vxMaxRuleName));
    if (const int code = newTables_.AddRefInt(rule)) {
        messages_.ShowMessageCode(code);
        return;
    }
    auto* entry = new QListWidgetItem(RecordTextToQString(rule.name(), table->CodePage()));
    entry->setFlags(vxEditableEntry);
    {
        const QSignalBlocker block(controls_.NewRIntList);
        controls_.NewRIntList->addItem(entry);
    }
    MarkChanged();
    UpdateControls();
}

void TvxRefIntCommands::SpdBtnRIntDelClick()
{
    QListWidgetItem* entry = controls_.NewRIntList->currentItem();
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!entry || !table) {
        messages_.ShowMessageCode(vxMsgNoRefIntSelected);
        return;
    }
    const int pos = newTables_.RefIntPosByName(QStringToRecordText(entry->text(), table->CodePage()));
    if (pos < 0 || !newTables_.DeleteRefInt(pos))
        return;
    delete controls_.NewRIntList->takeItem(controls_.NewRIntList->row(entry));
    MarkChanged();
    NewRIntListChange();
}

void TvxRefIntCommands::NewRIntListEdited(QListWidgetItem* Item)
{
    TvxTableDesc* table = newTables_.SelectedTable();
    const int row = Item ? controls_.NewRIntList->row(Item) : -1;
    if (!table || row < 0)
        return;
    const int pos = RulePosOfRow(row);
    if (pos < 0)
        return;
    const std::string oldName = table->GetRefInt(pos)->name();
    const QString oldCaption = RecordTextToQString(oldName, table->CodePage());
    const QString text = Item->text();
    const std::string name = QStringToRecordText(text, table->CodePage()).substr(0, vxMaxRuleName);
    if (name.empty()) {
        SetCaption(Item, oldCaption);
        return;
    }
    if (table->RefIntExists(name)) {
        SetCaption(Item, oldCaption);
        messages_.ShowMessageCode(vxMsgRefIntNameInUse);
        return;
    }
    // A rule of several fields names its index: that name must not be another index's.
    if (table->GetRefInt(pos)->fieldCount() != 1 && table->IndexExists(name)) {
        SetCaption(Item, oldCaption);
        messages_.AskMessage(vxMsgIndexNameInUse, text, TvxMsgButtons::Ok);
        return;
    }
    newTables_.RenameRefInt(oldName, name);
    SetCaption(Item, RecordTextToQString(name, table->CodePage()));
    panels_.FillNewIndexList();
    MarkChanged();
}

void TvxRefIntCommands::ComboTablesCloseUp()
{
    const int pos = SelectedRulePos();
    const int entry = controls_.ComboTables->currentIndex();
    if (pos < 0 || entry < 0)
        return;
    TvxTableDesc* master = newTables_.TableAt(entry);
    // The same master again keeps the fields chosen so far.
    if (!master || master == MasterOf(pos))
        return;
    if (const int code = newTables_.SetRefIntMaster(*master, pos)) {
        messages_.ShowMessageCode(code);
        ShowMaster(pos);
        return;
    }
    panels_.FillNewIndexList();
    const QStringList none;
    const QStringList masterSide = MasterFields(pos, *master);
    DrawRelation(&none, &masterSide);
    RefreshCandidates();
    MarkChanged();
}

void TvxRefIntCommands::SpdBtnRIntFieldAddClick()
{
    const int pos = SelectedRulePos();
    QListWidgetItem* field = controls_.ListNewRIFields->currentItem();
    if (!field) {
        messages_.ShowMessageCode(vxMsgSelectRuleField);
        return;
    }
    if (pos < 0) {
        messages_.ShowMessageCode(vxMsgNoRefIntSelected);
        return;
    }
    const int fieldNo =
        newTables_.FieldNumber(QStringToRecordText(field->text(), newTables_.SelectedTable()->CodePage()));
    if (const int code = newTables_.AddRefIntField(fieldNo, pos)) {
        messages_.ShowMessageCode(code);
        return;
    }
    panels_.FillNewIndexList();
    const QStringList thisSide = RuleFields(pos);
    DrawRelation(&thisSide, nullptr);
    RefreshCandidates();
    MarkChanged();
}

void TvxRefIntCommands::SpdBtnRIntFieldDelClick()
{
    const int pos = SelectedRulePos();
    if (pos < 0) {
        messages_.ShowMessageCode(vxMsgNoRefIntSelected);
        return;
    }
    const int filled = newTables_.SelectedTable()->RefIntFilledCount(pos);
    if (const int code = newTables_.RemoveRefIntField(pos)) {
        messages_.ShowMessageCode(code);
        return;
    }
    panels_.FillNewIndexList();
    RefreshCandidates();
    const QStringList thisSide = RuleFields(pos);
    DrawRelation(&thisSide, nullptr);
    if (filled > 0)
        MarkChanged();
}

void TvxRefIntCommands::GroupNewRuleClick()
{
    QListWidgetItem* entry = controls_.NewRIntList->currentItem();
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!entry || !table) {
        ShowUpdateRule(-1);
        return;
    }
    const int pos = table->RefIntPosByName(QStringToRecordText(entry->text(), table->CodePage()));
    if (pos < 0)
        return;
    TvxRefIntDesc& rule = table->RefIntAt(pos);
    rule.setUpdateRule(controls_.RadioNewRuleCascade->isChecked() ? TvxRefIntDesc::Cascade : TvxRefIntDesc::Prohibit);
    rule.setDeleteRule(TvxRefIntDesc::Prohibit);
    MarkChanged();
}

void TvxRefIntCommands::CheckNewSRIClick()
{
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        controls_.CheckNewSRI->setChecked(false);
        return;
    }
    table->SetStrictRefInt(controls_.CheckNewSRI->isChecked());
    MarkChanged();
}

} // namespace morvane
