#include "editor/TvxFieldCommands.h"

#include "db/cpDatabase.h"
#include "db/EvxEngineError.h"
#include "editor/IvxPrompts.h"
#include "editor/TvxDocumentState.h"
#include "editor/TvxIndexCommands.h"
#include "editor/TvxMessages.h"
#include "editor/TvxRefIntCommands.h"
#include "editor/vxStrings.h"
#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "script/cpDBStructScript.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptTableList.h"
#include "views/cpDataSetListBox.h"
#include "views/cpFieldGrid.h"
#include "views/cpFieldsListBox.h"
#include "views/vxRecordText.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

namespace morvane {

namespace {

constexpr int vxMsgMasterKeyField = 103;
constexpr int vxMsgFieldNamedLikeIndex = 104;
constexpr int vxMsgNoNewFieldSelected = 105;
constexpr int vxMsgNoFieldSelected = 106;
constexpr int vxAdvSelectSourceField = 10150;
constexpr int vxMsgDeleteKeyField = 10154;
constexpr int vxLblRequired = 10017;
constexpr int vxLblNotRequired = 10018;

// A zeroed record with the number, name, type, units and length of field.
TvxFieldDesc FieldCopy(const TvxFieldDesc& field, int number)
{
    TvxFieldDesc copy;
    copy.setFieldNumber(number);
    copy.setName(field.name());
    copy.setType(field.type());
    copy.setUnits1(field.units1());
    copy.setUnits2(field.units2());
    copy.setLength(field.length());
    return copy;
}

QString ValueText(const std::optional<std::string>& text, int codePage)
{
    return text ? RecordTextToQString(*text, codePage) : QString();
}

// Fills the four texts from check (empty when there is none) as the field's type shows them.
void ShowValCheck(const TvxValCheckDesc* check, int type, int codePage, QLineEdit* minimum, QLineEdit* maximum,
                  QLineEdit* defaultValue, QLineEdit* picture)
{
    for (QLineEdit* edit : {minimum, maximum, defaultValue, picture})
        edit->clear();
    if (!check)
        return;
    const TvxValCheckTexts texts = ValCheckTexts(*check, type);
    minimum->setText(ValueText(texts.minimum, codePage));
    maximum->setText(ValueText(texts.maximum, codePage));
    defaultValue->setText(ValueText(texts.defaultValue, codePage));
    picture->setText(RecordTextToQString(texts.picture, codePage));
}

} // namespace

TvxFieldCommands::TvxFieldCommands(const Controls& controls, TvxDatabase& database, TvxDBScript& script,
                                   TvxScriptTableList& newTables, const TvxDataSetListBox& currentTables,
                                   IvxPrompts& prompts, TvxMessages& messages, TvxDocumentState& document,
                                   TvxIndexCommands& indexes, TvxRefIntCommands& refInts)
    : controls_(controls), database_(database), script_(script), newTables_(newTables), currentTables_(currentTables),
      prompts_(prompts), messages_(messages), document_(document), indexes_(indexes), refInts_(refInts)
{}

// ---- helpers --------------------------------------------------------------------------------

std::vector<TvxFieldTypeRec> TvxFieldCommands::FieldTypes() const
{
    std::vector<TvxFieldTypeRec> types;
    try {
        for (const auto& entry : database_.FieldTypeList())
            types.push_back(entry.record);
    } catch (const EvxEngineError&) {
        // The dialog then offers no type and does not close with OK.
    }
    return types;
}

const TvxTableDesc* TvxFieldCommands::InsertionTarget(int& row) const
{
    const TvxTableDesc* table = newTables_.SelectedTable();
    if (!table) {
        messages_.ShowMessageCode(vxMsgNoNewTableSelected);
        return nullptr;
    }
    row = newTables_.InsertionPos() + 1;
    if (MasterKeyBlocks(row)) {
        messages_.ShowMessageCode(vxMsgMasterKeyField);
        return nullptr;
    }
    return table;
}

bool TvxFieldCommands::MasterKeyBlocks(int row) const
{
    return newTables_.IsRefIntMaster() && newTables_.PrimaryKeyReaches(row);
}

bool TvxFieldCommands::Record(std::unique_ptr<TvxCommand> command, TvxCommandExtras extras)
{
    try {
        const int code = script_.AddCommand(command, std::move(extras));
        if (code != 0) {
            messages_.ShowMessageCode(code);
            return false;
        }
        return true;
    } catch (const std::exception& failure) {
        messages_.ShowFailure(failure);
        return false;
    }
}

bool TvxFieldCommands::AskNewField(TvxFieldDesc& field, QString& value)
{
    // A name refused opens the dialog again with what was typed.
    while (prompts_.EditField(field, value, FieldTypes())) {
        if (!newTables_.IndexExists(field.name()))
            return true;
        messages_.ShowMessageCode(vxMsgFieldNamedLikeIndex);
    }
    return false;
}

bool TvxFieldCommands::RecordInsertion(std::unique_ptr<TvxCommand> command, TvxCommandExtras extras, int row)
{
    // A failure while the command is added is shown like any other; the script is unchanged.
    if (!Record(std::move(command), std::move(extras)))
        return false;
    document_.ScriptChanged = true;
    newTables_.RenumberIndexFields(row, 0);
    RefreshIndexAndRefIntLists(false);
    return true;
}

void TvxFieldCommands::RefreshIndexAndRefIntLists(bool entries)
{
    indexes_.RefreshNewIndexes(entries);
    refInts_.NewRIntListChange();
}

// ---- commands -------------------------------------------------------------------------------

void TvxFieldCommands::mnFieldAddClick()
{
    int row = 0;
    const TvxTableDesc* table = InsertionTarget(row);
    if (!table)
        return;
    TvxFieldDesc field;
    field.setFieldNumber(row);
    field.setType(fldAlpha);
    QString value;
    // A field the builder refuses (a name in use) is asked again as it was typed.
    do {
        if (!AskNewField(field, value))
            return;
    } while (!RecordInsertion(
        std::make_unique<TvxCommand>(ckCreateField, std::initializer_list<TvxValue>{newTables_.SelectedName()}),
        TvxCommandExtras::ForCreateField(
            field, value.isEmpty() ? TvxValue{} : TvxValue{QStringToRecordText(value, table->CodePage())}),
        row));
}

void TvxFieldCommands::mnFieldChangeClick()
{
    const TvxFieldDesc* current = newTables_.CurrentField();
    if (!current) {
        mnFieldAddClick();
        return;
    }
    const TvxTableDesc* table = newTables_.SelectedTable();
    const int row = newTables_.CurrentFieldPos() + 1;
    if (MasterKeyBlocks(row)) {
        messages_.ShowMessageCode(vxMsgMasterKeyField);
        return;
    }
    const TvxFieldDesc before = FieldCopy(*current, current->fieldNumber());
    TvxFieldDesc field = before;
    const std::string tableName = newTables_.SelectedName();
    QString value = RecordTextToQString(script_.NewValueOf(tableName, before.name()), table->CodePage());
    // A change refused is asked again as it was typed.
    for (;;) {
        if (!prompts_.EditField(field, value, FieldTypes()))
            return;
        // A field keeps its own name although the simple index of that field is named after it.
        const std::string name = field.name();
        if (!SameText(name, before.name()) && newTables_.IndexExists(name)) {
            messages_.ShowMessageCode(vxMsgFieldNamedLikeIndex);
            continue;
        }
        auto command = std::make_unique<TvxCommand>(ckChangeField, std::initializer_list<TvxValue>{tableName});
        if (Record(std::move(command), TvxCommandExtras::ForFields(before, field)))
            break;
    }
    document_.ScriptChanged = true;
    RefreshIndexAndRefIntLists(false);
    FieldGridSelectField(controls_.FieldGrid->Row());
}

void TvxFieldCommands::mnFieldMoveClick()
{
    int row = 0;
    const TvxTableDesc* table = InsertionTarget(row);
    if (!table)
        return;
    QTreeWidgetItem* item = controls_.FieldsList->currentItem();
    const TvxFieldDesc* source =
        item ? currentTables_.SelectedField(controls_.FieldsList->indexOfTopLevelItem(item)) : nullptr;
    if (!source) {
        messages_.ShowMessageCode(vxMsgNoFieldSelected, TvxMessages::LoadMessage(vxAdvSelectSourceField));
        return;
    }
    TvxFieldDesc field = FieldCopy(*source, row);
    QString value;
    do {
        if (!AskNewField(field, value))
            return;
    } while (!RecordInsertion(std::make_unique<TvxCommand>(ckMoveField,
                                                           std::initializer_list<TvxValue>{
                                                               currentTables_.SelectedName(), newTables_.SelectedName()}),
                              TvxCommandExtras::ForFields(*source, field), row));
}

void TvxFieldCommands::mnFieldDeleteClick()
{
    const TvxFieldDesc* current = newTables_.CurrentField();
    if (!current) {
        messages_.ShowMessageCode(vxMsgNoNewFieldSelected);
        return;
    }
    const int fieldNo = newTables_.CurrentFieldPos() + 1;
    // A field of the primary key leaves the key with it: asked first.
    if (newTables_.PrimaryKeyReaches(fieldNo) &&
        messages_.AskMessage(vxMsgDeleteKeyField, RecordTextToQString(current->name()), TvxMsgButtons::OkCancel) !=
            TvxMsgResult::Ok)
        return;
    auto command = std::make_unique<TvxCommand>(
        ckDeleteField, std::initializer_list<TvxValue>{newTables_.SelectedName(), current->name()});
    if (!Record(std::move(command), {}))
        return;
    document_.ScriptChanged = true;
    newTables_.RenumberIndexFields(fieldNo, 1);
    // Deleting the field may have taken a rule's index with it: the index list too.
    RefreshIndexAndRefIntLists(true);
    FieldGridSelectField(controls_.FieldGrid->Row());
}

void TvxFieldCommands::FieldGridKeyDown(int Key)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter)
        mnFieldChangeClick();
}

// ---- validation panels ----------------------------------------------------------------------

void TvxFieldCommands::FieldGridSelectField(int)
{
    const Controls& c = controls_;
    const TvxTableDesc* table = newTables_.SelectedTable();
    // From the model, not the grid, which may not show the table selected yet.
    const bool hasFields = table && table->FieldCount() > 0;
    const TvxFieldDesc* field = hasFields ? newTables_.CurrentField() : nullptr;
    ShowValCheck(field ? table->FindValCheck(field->fieldNumber()) : nullptr, field ? field->type() : 0,
                 table ? table->CodePage() : vxNewTableCodePage, c.EditNewMin, c.EditNewMax, c.EditNewDefault,
                 c.EditNewPicture);
    const TvxValCheckDesc* check = field ? table->FindValCheck(field->fieldNumber()) : nullptr;
    c.CheckNewRequired->setChecked(check && check->required());
    for (QWidget* control : std::initializer_list<QWidget*>{c.EditNewMin, c.EditNewMax, c.EditNewDefault,
                                                            c.EditNewPicture, c.CheckNewRequired, c.BtnNewPicture})
        control->setEnabled(hasFields);
}

void TvxFieldCommands::FieldsListChange()
{
    const Controls& c = controls_;
    c.PanelRequired->clear();
    const TvxTableDesc* table = currentTables_.SelectedTable();
    QTreeWidgetItem* item = c.FieldsList->currentItem();
    const TvxFieldDesc* field = item ? currentTables_.SelectedField(c.FieldsList->indexOfTopLevelItem(item)) : nullptr;
    const TvxValCheckDesc* check = field ? table->FindValCheck(field->fieldNumber()) : nullptr;
    ShowValCheck(check, field ? field->type() : 0, table ? table->CodePage() : vxNewTableCodePage, c.EditMin, c.EditMax,
                 c.EditDefault, c.EditPicture);
    if (check)
        c.PanelRequired->setText(vxLoadString(check->required() ? vxLblRequired : vxLblNotRequired));
}

bool TvxFieldCommands::NewValidationEmpty() const
{
    const Controls& c = controls_;
    return c.EditNewMin->text().isEmpty() && c.EditNewMax->text().isEmpty() && c.EditNewDefault->text().isEmpty() &&
           c.EditNewPicture->text().isEmpty() && !c.CheckNewRequired->isChecked();
}

std::string TvxFieldCommands::RecordText(const QLineEdit* edit) const
{
    const TvxTableDesc* table = newTables_.SelectedTable();
    return QStringToRecordText(edit->text(), table ? table->CodePage() : vxNewTableCodePage);
}

template <class Change> bool TvxFieldCommands::ChangeValCheck(int fieldNo, Change change)
{
    TvxTableDesc* table = newTables_.SelectedTable();
    if (!table)
        return false;
    std::vector<TvxValCheckDesc> checks = table->ValChecks();
    const auto it = std::find_if(checks.begin(), checks.end(),
                                 [fieldNo](const TvxValCheckDesc& check) { return check.fieldNumber() == fieldNo; });
    if (it == checks.end())
        return false;
    change(*it);
    table->SetValChecks(std::move(checks));
    return true;
}

bool TvxFieldCommands::WriteValCheckText(TvxValCheckDesc& check, const TvxFieldDesc& field, const QLineEdit* edit) const
{
    const Controls& c = controls_;
    const std::string text = RecordText(edit);
    if (edit == c.EditNewPicture) {
        check.setPicture(text);
        return true;
    }
    const auto setHas = [&](bool has) {
        if (edit == c.EditNewMin)
            check.setHasMinimum(has);
        else if (edit == c.EditNewMax)
            check.setHasMaximum(has);
        else
            check.setHasDefault(has);
    };
    if (text.empty()) {
        setHas(false);
        return true;
    }
    // Converted aside first: a text that does not convert leaves the value as it was.
    std::array<std::uint8_t, TvxValCheckDesc::AreaSize> value{};
    if (TextToValue(text, field, value.data()) != 0)
        return false;
    std::uint8_t* area = edit == c.EditNewMin   ? check.minimum()
                         : edit == c.EditNewMax ? check.maximum()
                                                : check.defaultValue();
    std::copy(value.begin(), value.end(), area);
    setHas(true);
    return true;
}

void TvxFieldCommands::EditNewValChange(QLineEdit* Sender)
{
    const TvxFieldDesc* current = newTables_.CurrentField();
    if (!current)
        return;
    const TvxFieldDesc field = *current;
    const Controls& c = controls_;
    if (!newTables_.FindValCheck(field.fieldNumber())) {
        if (newTables_.AddValCheck(RecordText(c.EditNewMin), RecordText(c.EditNewMax), field,
                                   c.CheckNewRequired->isChecked(), RecordText(c.EditNewPicture),
                                   RecordText(c.EditNewDefault)))
            document_.ScriptChanged = true;
        return;
    }
    if (NewValidationEmpty()) {
        if (newTables_.DeleteValCheck(field.fieldNumber()))
            document_.ScriptChanged = true;
        return;
    }
    // A text that does not convert yet (half typed) is dealt with when the field is left.
    bool converts = false;
    ChangeValCheck(field.fieldNumber(),
                   [&](TvxValCheckDesc& check) { converts = WriteValCheckText(check, field, Sender); });
    if (converts)
        document_.ScriptChanged = true;
}

void TvxFieldCommands::EditNewValExit(QLineEdit* Sender)
{
    const TvxFieldDesc* current = newTables_.CurrentField();
    if (!current || !Sender->isModified())
        return;
    const TvxFieldDesc field = *current;
    const Controls& c = controls_;
    const int fieldNo = field.fieldNumber();
    // A text that does not convert is dropped.
    TvxValCheckDesc scratch;
    if (!WriteValCheckText(scratch, field, Sender))
        Sender->clear();
    Sender->setModified(false);
    if (!newTables_.FindValCheck(fieldNo)) {
        // Typing gave no check while some text did not convert: the texts left make it now.
        if (!NewValidationEmpty() && newTables_.AddValCheck(RecordText(c.EditNewMin), RecordText(c.EditNewMax), field,
                                                            c.CheckNewRequired->isChecked(),
                                                            RecordText(c.EditNewPicture), RecordText(c.EditNewDefault)))
            document_.ScriptChanged = true;
        return;
    }
    // The check is looked up again, so nothing is written into one that is gone; one left
    // with nothing in it goes, as when the texts are emptied by typing.
    if (NewValidationEmpty())
        newTables_.DeleteValCheck(fieldNo);
    else
        ChangeValCheck(fieldNo, [&](TvxValCheckDesc& check) { WriteValCheckText(check, field, Sender); });
    document_.ScriptChanged = true;
}

void TvxFieldCommands::CheckNewRequiredClick()
{
    const TvxFieldDesc* current = newTables_.CurrentField();
    const Controls& c = controls_;
    if (!current)
        return;
    const TvxFieldDesc field = *current;
    const bool required = c.CheckNewRequired->isChecked();
    if (ChangeValCheck(field.fieldNumber(), [required](TvxValCheckDesc& check) { check.setRequired(required); })) {
        if (NewValidationEmpty())
            newTables_.DeleteValCheck(field.fieldNumber());
        document_.ScriptChanged = true;
        return;
    }
    if (newTables_.AddValCheck(RecordText(c.EditNewMin), RecordText(c.EditNewMax), field, required,
                               RecordText(c.EditNewPicture), RecordText(c.EditNewDefault)))
        document_.ScriptChanged = true;
}

void TvxFieldCommands::EmptyNewValidation()
{
    for (QLineEdit* edit :
         {controls_.EditNewMin, controls_.EditNewMax, controls_.EditNewDefault, controls_.EditNewPicture}) {
        edit->clear();
        edit->setEnabled(false);
    }
    controls_.CheckNewRequired->setChecked(false);
    controls_.CheckNewRequired->setEnabled(false);
    controls_.BtnNewPicture->setEnabled(false);
}

} // namespace morvane
