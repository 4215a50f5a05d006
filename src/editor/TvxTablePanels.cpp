#include "editor/TvxTablePanels.h"

#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "script/TvxScriptTableList.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace morvane {

namespace {

constexpr int vxLblYes = 10001;
constexpr int vxLblNo = 10002;
constexpr int vxLblPrimary = 10003;
constexpr int vxLblProtected = 10010;
constexpr int vxLblNotProtected = 10011;

// An entry of an index or rule list of the new table, its caption editable in place.
constexpr Qt::ItemFlags vxEditableEntry =
    Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;

QString IndexCaption(const TvxTableDesc& table, int pos)
{
    return table.IsPrimary(pos) ? vxLoadString(vxLblPrimary)
                                : RecordTextToQString(table.GetIndex(pos)->name(), table.CodePage());
}

} // namespace

TvxTablePanels::TvxTablePanels(const Controls& controls, const TvxDataSetListBox& currentTables,
                               const TvxScriptTableList& newTables)
    : controls_(controls), currentTables_(currentTables), newTables_(newTables)
{}

QString TvxTablePanels::ProtectionText(bool isProtected)
{
    return vxLoadString(isProtected ? vxLblProtected : vxLblNotProtected);
}

void TvxTablePanels::FillInfo(const TvxInfoPanels& panels, const TvxTableDesc* table)
{
    QLineEdit* const all[] = {panels.tableType,     panels.recordSize,         panels.bufferSize, panels.fieldCount,
                           panels.indexCount,    panels.valCheckCount,      panels.refIntCount, panels.date,
                           panels.time,          panels.restructureVersion, panels.codePage,   panels.tableLevel,
                           panels.languageDriver, panels.blockSize};
    if (!table) {
        for (QLineEdit* panel : all)
            panel->clear();
        return;
    }
    const int codePage = table->CodePage();
    const auto number = [](int value) { return QString::number(value); };
    panels.codePage->setText(number(codePage));
    panels.tableType->setText(RecordTextToQString(table->TableTypeName(), codePage));
    panels.fieldCount->setText(number(table->FieldCount()));
    panels.recordSize->setText(number(table->RecordSize()));
    panels.bufferSize->setText(number(table->RecordBufferSize()));
    panels.indexCount->setText(number(table->IndexCount()));
    panels.restructureVersion->setText(number(table->RestructureVersion()));
    panels.tableLevel->setText(number(table->TableLevel()));
    panels.languageDriver->setText(RecordTextToQString(table->LanguageDriver(), codePage));
    panels.valCheckCount->setText(number(table->ValCheckCount()));
    panels.refIntCount->setText(number(table->RefIntCount()));
    panels.blockSize->setText(number(table->BlockSize()));
    panels.date->setText(QString::fromStdString(table->TableDateText()));
    panels.time->setText(QString::fromStdString(table->TableTimeText()));
}

void TvxTablePanels::RefreshCurrentTable()
{
    const Controls& c = controls_;
    c.EditRITable->clear();
    c.EditRIType->clear();
    c.EditUpdateRule->clear();
    c.MemoIdxProperty->clear();
    c.ListIndex->clear();
    c.RefIntList->clear();

    const TvxTableDesc* table = currentTables_.SelectedTable();
    if (!table) {
        c.PanelProtected->clear();
        c.EditSRI->clear();
        FillInfo(c.Info, nullptr);
        return;
    }
    c.PanelProtected->setText(ProtectionText(table->Protected()));
    c.EditSRI->setText(vxLoadString(table->StrictRefInt() ? vxLblYes : vxLblNo));

    QList<QTreeWidgetItem*> indexes;
    for (int i = 0; i < table->IndexCount(); ++i)
        indexes << new QTreeWidgetItem(QStringList{IndexCaption(*table, i)});
    c.ListIndex->addTopLevelItems(indexes);

    QList<QTreeWidgetItem*> rules;
    for (int i = 0; i < table->RefIntCount(); ++i)
        rules << new QTreeWidgetItem(QStringList{RecordTextToQString(table->GetRefInt(i)->name(), table->CodePage())});
    c.RefIntList->addTopLevelItems(rules);

    FillInfo(c.Info, table);
}

void TvxTablePanels::RefreshNewTable()
{
    const Controls& c = controls_;
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        c.pnNewProtected->clear();
        c.CheckNewSRI->setChecked(false);
        c.NewIdxList->clear();
        c.NewRIntList->clear();
        FillInfo(c.NewInfo, nullptr);
        return;
    }
    c.pnNewProtected->setText(ProtectionText(table->Protected()));
    FillNewIndexList();
    FillNewRefIntList();
    c.CheckNewSRI->setChecked(table->StrictRefInt());
    FillInfo(c.NewInfo, table);
}

void TvxTablePanels::FillNewIndexList()
{
    QTreeWidget* list = controls_.NewIdxList;
    list->clear();
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (!table)
        return;
    // Each entry is complete before it joins the list, so that filling reports no edit.
    QList<QTreeWidgetItem*> entries;
    for (int i = 0; i < table->IndexCount(); ++i) {
        auto* entry = new QTreeWidgetItem(QStringList{IndexCaption(*table, i)});
        entry->setFlags(vxEditableEntry);
        entries << entry;
    }
    list->addTopLevelItems(entries);
}

void TvxTablePanels::FillNewRefIntList()
{
    QListWidget* list = controls_.NewRIntList;
    list->clear();
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (!table)
        return;
    for (int i = 0; i < table->RefIntCount(); ++i) {
        const TvxRefIntDesc* rule = table->GetRefInt(i);
        if (rule->kind() != TvxRefIntDesc::Dependent)
            continue;
        auto* entry = new QListWidgetItem(RecordTextToQString(rule->name(), table->CodePage()));
        entry->setFlags(vxEditableEntry);
        list->addItem(entry);
    }
}

} // namespace morvane
