#include "editor/TvxIndexCommands.h"

#include "editor/TvxDocumentState.h"
#include "editor/TvxMessages.h"
#include "editor/TvxTablePanels.h"
#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "model/vxTextCase.h"
#include "script/TvxScriptTableList.h"
#include "views/cpDataSetListBox.h"
#include "views/vxRecordText.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace morvane {

namespace {

constexpr int vxMsgNoIndexSelected = 115;
constexpr int vxMsgPrimaryKeyOrder = 116;
constexpr int vxMsgPrimaryKeyInUse = 117;
constexpr int vxMsgSelectKeyField = 118;
constexpr int vxMsgSelectField = 119;
constexpr int vxMsgIndexNameInUse = 122;

constexpr int vxLblPrimary = 10003;
constexpr int vxLblUnique = 10004;
constexpr int vxLblMaintained = 10005;
constexpr int vxLblCaseSensitive = 10006;
constexpr int vxLblCaseInsensitive = 10007;
constexpr int vxLblAscending = 10008;
constexpr int vxLblDescending = 10009;

constexpr Qt::ItemFlags vxEditableEntry = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;

int KeyCount(const TvxIndexDesc& index)
{
    return std::clamp(index.keyFieldCount(), 0, TvxIndexDesc::MaxKeyFields);
}

// Name of field number fieldNo of table; empty when there is no such field.
std::string FieldName(const TvxTableDesc& table, int fieldNo)
{
    const TvxFieldDesc* field = table.GetField(fieldNo - 1);
    return field ? field->name() : std::string();
}

// The names of the key fields of index, in key order.
QStringList KeyFieldNames(const TvxTableDesc& table, const TvxIndexDesc& index)
{
    QStringList names;
    for (int k = 0; k < KeyCount(index); ++k)
        names << RecordTextToQString(FieldName(table, index.keyField(k)), table.CodePage());
    return names;
}

} // namespace

TvxIndexCommands::TvxIndexCommands(const Controls& controls, TvxScriptTableList& newTables,
                                   const TvxDataSetListBox& currentTables, TvxTablePanels& panels,
                                   TvxMessages& messages, TvxDocumentState& document)
    : controls_(controls), newTables_(newTables), currentTables_(currentTables), panels_(panels), messages_(messages),
      document_(document)
{
    UpdateControls();
}

// ---- helpers --------------------------------------------------------------------------------

int TvxIndexCommands::SelectedIndexPos() const
{
    QTreeWidgetItem* item = controls_.NewIdxList->currentItem();
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (!item || !table)
        return -1;
    const int pos = controls_.NewIdxList->indexOfTopLevelItem(item);
    return pos < table->IndexCount() ? pos : -1;
}

QString TvxIndexCommands::IndexCaption(const TvxTableDesc& table, int pos) const
{
    return table.IsPrimary(pos) ? vxLoadString(vxLblPrimary)
                                : RecordTextToQString(table.GetIndex(pos)->name(), table.CodePage());
}

void TvxIndexCommands::SetCaption(QTreeWidgetItem* item, const QString& caption)
{
    const QSignalBlocker block(controls_.NewIdxList);
    item->setText(0, caption);
}

bool TvxIndexCommands::PrimaryUsedByRule(int pos) const
{
    return newTables_.IsRefIntMaster() && newTables_.IsPrimary(pos);
}

int TvxIndexCommands::EditableIndexPos() const
{
    const int pos = SelectedIndexPos();
    if (pos < 0) {
        messages_.ShowMessageCode(vxMsgNoIndexSelected);
        return -1;
    }
    if (PrimaryUsedByRule(pos)) {
        messages_.ShowMessageCode(vxMsgPrimaryKeyInUse);
        return -1;
    }
    return pos;
}

void TvxIndexCommands::FillKeyFields(int pos)
{
    controls_.NewIdxFieldUsedList->clear();
    const TvxTableDesc* table = newTables_.SelectedTable();
    const TvxIndexDesc* index = table ? table->GetIndex(pos) : nullptr;
    if (index)
        controls_.NewIdxFieldUsedList->addItems(KeyFieldNames(*table, *index));
}

void TvxIndexCommands::FillFieldsNotInIndex(int pos)
{
    controls_.NewIdxFieldsList->clear();
    const TvxTableDesc* table = newTables_.SelectedTable();
    const TvxIndexDesc* index = table ? table->GetIndex(pos) : nullptr;
    if (!index)
        return;
    std::vector<std::string> names;
    table->ListFieldsNotInIndex(names, *index);
    for (const auto& name : names)
        controls_.NewIdxFieldsList->addItem(RecordTextToQString(name, table->CodePage()));
}

void TvxIndexCommands::MarkChanged()
{
    document_.ScriptChanged = true;
}

void TvxIndexCommands::UpdateControls()
{
    const Controls& c = controls_;
    const int pos = SelectedIndexPos();
    const bool hasIndex = pos >= 0;
    const bool primary = hasIndex && newTables_.IsPrimary(pos);
    const bool lockedByRule = hasIndex && PrimaryUsedByRule(pos);
    const int keyRow = c.NewIdxFieldUsedList->currentRow();
    const int keyRows = c.NewIdxFieldUsedList->count();

    c.SpdBtnIdxAdd->setEnabled(newTables_.SelectedTable() != nullptr);
    c.SpdBtnIdxDel->setEnabled(hasIndex && !lockedByRule);
    c.SpdBtnIdxAddField->setEnabled(hasIndex && !lockedByRule && c.NewIdxFieldsList->currentRow() >= 0);
    c.SpdBtnIdxDelField->setEnabled(hasIndex && !lockedByRule && keyRow >= 0);
    c.SpdBtnIdxMoveUp->setEnabled(hasIndex && !primary && keyRow > 0);
    c.SpdBtnIdxMoveDown->setEnabled(hasIndex && !primary && keyRow >= 0 && keyRow < keyRows - 1);

    if (!hasIndex) {
        for (QCheckBox* box : {c.CheckNewUnique, c.CheckNewMaint, c.CheckNewCaseInsens, c.CheckNewDesc})
            box->setEnabled(false);
        return;
    }
    // The primary key is never case insensitive nor descending: nothing to change there.
    c.CheckNewCaseInsens->setEnabled(!primary);
    c.CheckNewDesc->setEnabled(!primary);
}

// ---- display --------------------------------------------------------------------------------

void TvxIndexCommands::ListIndexChange()
{
    const Controls& c = controls_;
    c.MemoIdxProperty->clear();
    c.ListIdxFields->clear();
    const TvxTableDesc* table = currentTables_.SelectedTable();
    QTreeWidgetItem* item = c.ListIndex->currentItem();
    if (!table || !item)
        return;
    const TvxIndexDesc* index = table->GetIndex(c.ListIndex->indexOfTopLevelItem(item));
    if (!index)
        return;
    QStringList lines;
    if (index->unique())
        lines << vxLoadString(vxLblUnique);
    if (index->maintained())
        lines << vxLoadString(vxLblMaintained);
    lines << vxLoadString(index->caseInsensitive() ? vxLblCaseInsensitive : vxLblCaseSensitive);
    lines << vxLoadString(index->descending() ? vxLblDescending : vxLblAscending);
    c.MemoIdxProperty->setPlainText(lines.join(QLatin1Char('\n')));
    c.ListIdxFields->addItems(KeyFieldNames(*table, *index));
}

void TvxIndexCommands::NewIdxListChange()
{
    const Controls& c = controls_;
    c.NewIdxFieldsList->clear();
    c.NewIdxFieldUsedList->clear();
    const int pos = SelectedIndexPos();
    if (pos >= 0) {
        ShowNewIndex(pos);
        return;
    }
    for (QCheckBox* box : {c.CheckNewUnique, c.CheckNewMaint, c.CheckNewCaseInsens, c.CheckNewDesc}) {
        const QSignalBlocker block(box);
        box->setChecked(false);
    }
    UpdateControls();
}

void TvxIndexCommands::ShowNewIndex(int pos)
{
    const Controls& c = controls_;
    const TvxTableDesc* table = newTables_.SelectedTable();
    const TvxIndexDesc* index = table ? table->GetIndex(pos) : nullptr;
    if (!index)
        return;
    {
        // The boxes show the index; their click handler stays out of it.
        const QSignalBlocker unique(c.CheckNewUnique), maint(c.CheckNewMaint), caseInsens(c.CheckNewCaseInsens),
            desc(c.CheckNewDesc);
        c.CheckNewUnique->setChecked(index->unique());
        c.CheckNewMaint->setChecked(index->maintained());
        c.CheckNewCaseInsens->setChecked(index->caseInsensitive());
        c.CheckNewDesc->setChecked(index->descending());
    }
    if (index->unique()) {
        // A unique secondary index stays maintained; only the primary key's box is offered.
        c.CheckNewUnique->setEnabled(true);
        c.CheckNewMaint->setEnabled(index->primary());
    } else {
        c.CheckNewMaint->setEnabled(true);
        c.CheckNewUnique->setEnabled(true);
    }
    FillKeyFields(pos);
    FillFieldsNotInIndex(pos);
    UpdateControls();
}

void TvxIndexCommands::ApplyIndexNaming()
{
    const int pos = SelectedIndexPos();
    TvxTableDesc* table = newTables_.SelectedTable();
    if (pos < 0 || !table)
        return;
    TvxIndexDesc& index = table->IndexAt(pos);
    const int keys = KeyCount(index);
    const bool simple =
        !index.unique() && !index.descending() && !index.caseInsensitive() && !index.primary() && keys == 1;
    std::string name;
    if (simple) {
        name = FieldName(*table, index.keyField(0));
        // Another index of that name keeps it; this one stays as it is named.
        const int other = table->IndexPosByName(name);
        if (name.empty() || (other >= 0 && other != pos))
            return;
    } else if (keys > 0) {
        if (!SameText(index.name(), FieldName(*table, index.keyField(0))))
            return;
        name = table->NewIndexName();
    } else if (!index.primary()) {
        name = table->NewIndexName();
    } else {
        return;
    }
    index.setName(name);
    SetCaption(controls_.NewIdxList->topLevelItem(pos), RecordTextToQString(name, table->CodePage()));
}

// ---- commands -------------------------------------------------------------------------------

void TvxIndexCommands::SpdBtnIdxAddClick()
{
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        messages_.ShowMessageCode(vxMsgNoNewTableSelected);
        return;
    }
    TvxIndexDesc index;
    const std::string name = table->NewIndexName();
    index.setName(name);
    index.setId(table->IndexCount());
    index.setMaintained(false);
    if (const int code = newTables_.AddIndex(index)) {
        messages_.ShowMessageCode(code);
        return;
    }
    auto* entry = new QTreeWidgetItem(QStringList{RecordTextToQString(name, table->CodePage())});
    entry->setFlags(vxEditableEntry);
    {
        const QSignalBlocker block(controls_.NewIdxList);
        controls_.NewIdxList->addTopLevelItem(entry);
    }
    MarkChanged();
    // The new index is the one to give fields to: selected, its arrows ready.
    controls_.NewIdxList->setCurrentItem(entry);
    UpdateControls();
}

void TvxIndexCommands::SpdBtnIdxDelClick()
{
    const int pos = EditableIndexPos();
    if (pos < 0)
        return;
    if (const int code = newTables_.DeleteIndex(pos)) {
        messages_.ShowMessageCode(code);
        return;
    }
    delete controls_.NewIdxList->takeTopLevelItem(pos);
    MarkChanged();
    NewIdxListChange();
}

void TvxIndexCommands::NewIdxListEdited(QTreeWidgetItem* Item)
{
    TvxTableDesc* table = newTables_.SelectedTable();
    const int pos = Item ? controls_.NewIdxList->indexOfTopLevelItem(Item) : -1;
    if (!table || pos < 0 || pos >= table->IndexCount())
        return;
    const QString text = Item->text(0);
    const std::string name = QStringToRecordText(text, table->CodePage());
    const QString oldCaption = IndexCaption(*table, pos);
    if (table->FindIndex(name) >= 0) {
        messages_.AskMessage(vxMsgIndexNameInUse, text, TvxMsgButtons::Ok);
        SetCaption(Item, oldCaption);
        return;
    }
    if (const int code = newTables_.RenameIndex(pos, name)) {
        messages_.ShowMessageCode(code);
        SetCaption(Item, oldCaption);
        return;
    }
    const int fieldNo = table->FieldNumber(name);
    if (fieldNo > 0) {
        // Named after a field: the maintained index of that one field, whatever it held before.
        TvxIndexDesc& index = table->IndexAt(pos);
        index.setCaseInsensitive(false);
        index.setUnique(false);
        index.setDescending(false);
        index.setPrimary(false);
        index.setMaintained(true);
        for (int k = 0; k < TvxIndexDesc::MaxKeyFields; ++k)
            index.setKeyField(k, 0);
        index.setKeyField(0, fieldNo);
        index.setKeyFieldCount(1);
    }
    MarkChanged();
    if (SelectedIndexPos() == pos)
        ShowNewIndex(pos);
}

void TvxIndexCommands::SpdBtnIdxAddFieldClick()
{
    const Controls& c = controls_;
    const int pos = EditableIndexPos();
    if (pos < 0)
        return;
    QListWidgetItem* field = c.NewIdxFieldsList->currentItem();
    if (!field) {
        messages_.ShowMessageCode(vxMsgSelectField);
        return;
    }
    const TvxTableDesc* table = newTables_.SelectedTable();
    const int fieldNo = newTables_.FieldNumber(QStringToRecordText(field->text(), table->CodePage()));
    if (fieldNo < 1) {
        messages_.ShowMessageCode(vxErrFieldNotFound);
        return;
    }
    if (const int code = newTables_.AddIndexField(fieldNo, pos)) {
        messages_.ShowMessageCode(code);
        return;
    }
    c.NewIdxFieldUsedList->addItem(field->text());
    const int row = c.NewIdxFieldsList->row(field);
    delete c.NewIdxFieldsList->takeItem(row);
    // The next field is the one chosen now, so that fields go in one after the other.
    c.NewIdxFieldsList->setCurrentRow(std::min(row, c.NewIdxFieldsList->count() - 1));
    ApplyIndexNaming();
    MarkChanged();
    UpdateControls();
}

void TvxIndexCommands::SpdBtnIdxDelFieldClick()
{
    const Controls& c = controls_;
    const int keyPos = c.NewIdxFieldUsedList->currentRow();
    if (keyPos < 0) {
        messages_.ShowMessageCode(vxMsgSelectKeyField);
        return;
    }
    const int pos = EditableIndexPos();
    if (pos < 0)
        return;
    if (const int code = newTables_.RemoveIndexField(keyPos, pos)) {
        messages_.ShowMessageCode(code);
        return;
    }
    delete c.NewIdxFieldUsedList->takeItem(keyPos);
    c.NewIdxFieldUsedList->setCurrentRow(std::min(keyPos, c.NewIdxFieldUsedList->count() - 1));
    FillFieldsNotInIndex(pos);
    ApplyIndexNaming();
    MarkChanged();
    UpdateControls();
}

void TvxIndexCommands::SpdBtnIdxMoveClick(bool up)
{
    QListWidget* keys = controls_.NewIdxFieldUsedList;
    const int from = keys->currentRow();
    if (from < 0) {
        messages_.ShowMessageCode(vxMsgSelectKeyField);
        return;
    }
    const int pos = SelectedIndexPos();
    if (pos < 0) {
        messages_.ShowMessageCode(vxMsgNoIndexSelected);
        return;
    }
    if (newTables_.IsPrimary(pos)) {
        messages_.ShowMessageCode(vxMsgPrimaryKeyOrder);
        return;
    }
    const int to = up ? std::max(from - 1, 0) : std::min(from + 1, keys->count() - 1);
    if (const int code = newTables_.SwapIndexFields(pos, from, to)) {
        messages_.ShowMessageCode(code);
        return;
    }
    if (to != from) {
        const QString moved = keys->item(from)->text();
        keys->item(from)->setText(keys->item(to)->text());
        keys->item(to)->setText(moved);
        MarkChanged();
    }
    keys->setCurrentRow(to);
    UpdateControls();
}

void TvxIndexCommands::CheckNewIdxPropertyClick(QCheckBox* Sender)
{
    const Controls& c = controls_;
    const int pos = SelectedIndexPos();
    if (pos < 0) {
        const QSignalBlocker block(Sender);
        Sender->setChecked(false);
        return;
    }
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table->GetIndex(pos)) {
        messages_.ShowMessageCode(vxErrIndexNotFound);
        return;
    }
    TvxIndexDesc& index = table->IndexAt(pos);
    const TvxIndexDesc before = index;
    const bool primary = index.primary();
    // The primary key is unique and maintained, never case insensitive nor descending: a box
    // the user flipped there is flipped back.
    bool forced = false;
    const auto force = [&forced](QCheckBox* box, bool checked) {
        if (box->isChecked() == checked)
            return;
        const QSignalBlocker block(box);
        box->setChecked(checked);
        forced = true;
    };

    if (Sender == c.CheckNewUnique) {
        if (primary)
            force(c.CheckNewUnique, true);
        index.setUnique(c.CheckNewUnique->isChecked());
        if (!primary) {
            if (c.CheckNewUnique->isChecked()) {
                const QSignalBlocker block(c.CheckNewMaint);
                c.CheckNewMaint->setChecked(true);
                index.setMaintained(true);
            }
            c.CheckNewMaint->setEnabled(!c.CheckNewUnique->isChecked());
        }
    } else if (Sender == c.CheckNewMaint) {
        if (primary)
            force(c.CheckNewMaint, true);
        index.setMaintained(c.CheckNewMaint->isChecked());
        if (!c.CheckNewUnique->isChecked())
            c.CheckNewUnique->setEnabled(c.CheckNewMaint->isChecked());
    } else if (Sender == c.CheckNewCaseInsens) {
        if (primary)
            force(c.CheckNewCaseInsens, false);
        index.setCaseInsensitive(c.CheckNewCaseInsens->isChecked());
    } else if (Sender == c.CheckNewDesc) {
        if (primary)
            force(c.CheckNewDesc, false);
        index.setDescending(c.CheckNewDesc->isChecked());
    }

    const bool changed = index.bytes() != before.bytes();
    if (changed || forced)
        MarkChanged();
    if (changed)
        ApplyIndexNaming();
    UpdateControls();
}

void TvxIndexCommands::RefreshNewIndexes(bool entries)
{
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (entries && table) {
        // The entries may be out of step with the descriptor: find the selected index again by
        // its caption, not by where it was.
        const QTreeWidgetItem* item = controls_.NewIdxList->currentItem();
        const bool hadSelection = item != nullptr;
        const QString caption = item ? item->text(0) : QString();
        panels_.FillNewIndexList();
        int pos = -1;
        if (hadSelection) {
            pos = table->IndexPosByName(QStringToRecordText(caption, table->CodePage()));
            if (pos < 0 && caption == vxLoadString(vxLblPrimary))
                pos = table->FindIndex("PRIMARY");
        }
        if (pos >= 0)
            controls_.NewIdxList->setCurrentItem(controls_.NewIdxList->topLevelItem(pos));
    }
    NewIdxListChange();
}

} // namespace morvane
