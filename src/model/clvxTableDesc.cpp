#include "model/clvxTableDesc.h"

#include "model/vxEngineValues.h"
#include "model/vxRecordArrays.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"

#include <algorithm>

namespace morvane {

namespace {

// Two digits for 0-9 ("07"), the number as it is otherwise.
std::string Pad2(int v)
{
    std::string text = std::to_string(v);
    if (v >= 0 && v < 10)
        text.insert(text.begin(), '0');
    return text;
}

} // namespace

// ---- Creation --------------------------------------------------------------------------------

TvxTableDesc TvxTableDesc::CreateFromEngine(const TvxTableListRec* tableList, const TvxCursorProps& cursorProps)
{
    TvxTableDesc desc;
    if (tableList)
        desc.tableList_ = *tableList;
    desc.cursorProps_ = cursorProps;
    desc.SetFieldCount(cursorProps.fieldCount());
    desc.SetIndexCount(cursorProps.indexCount());
    desc.SetRefIntCount(cursorProps.refIntCount());
    desc.SetValCheckCount(cursorProps.valCheckCount());
    return desc;
}

TvxTableDesc TvxTableDesc::Clone() const
{
    TvxTableDesc copy;
    copy.cursorProps_ = cursorProps_;
    copy.tableList_ = tableList_;
    copy.fields_.assign(fields_.begin(), fields_.begin() + FieldCount());
    copy.indexes_.assign(indexes_.begin(), indexes_.begin() + IndexCount());
    copy.valChecks_.assign(valChecks_.begin(), valChecks_.begin() + ValCheckCount());
    const int rules = RefIntCount();
    int dependent = 0;
    for (int i = 0; i < rules; ++i)
        dependent += refInts_[i].kind() == TvxRefIntDesc::Dependent ? 1 : 0;
    copy.refInts_.reserve(static_cast<std::size_t>(dependent));
    for (int i = 0; i < rules; ++i) {
        if (refInts_[i].kind() != TvxRefIntDesc::Dependent)
            continue;
        TvxRefIntDesc rule = refInts_[i];
        rule.setOtherTable(std::string(StripDirectory(rule.otherTable())));
        copy.refInts_.push_back(rule);
    }
    copy.cursorProps_.setFieldCount(static_cast<int>(copy.fields_.size()));
    copy.cursorProps_.setIndexCount(static_cast<int>(copy.indexes_.size()));
    copy.cursorProps_.setValCheckCount(static_cast<int>(copy.valChecks_.size()));
    copy.cursorProps_.setRefIntCount(static_cast<int>(copy.refInts_.size()));
    return copy;
}

// ---- Table texts and flags -------------------------------------------------------------------

std::string TvxTableDesc::TableName() const
{
    return tableList_.tableName();
}

std::string TvxTableDesc::FileName() const
{
    return tableList_.fileName() + "." + tableList_.extension();
}

void TvxTableDesc::SetTableName(std::string_view name)
{
    if (name != cursorProps_.tableName())
        SetAllNames(name);
}

void TvxTableDesc::SetAllNames(std::string_view name)
{
    cursorProps_.setTableName(name);
    tableList_.setTableName(name);
    tableList_.setFileName(name);
}

void TvxTableDesc::SetTableType(std::string_view type)
{
    if (type == tableList_.tableType())
        return;
    tableList_.setTableType(type);
    cursorProps_.setTableType(type);
}

void TvxTableDesc::SetExtension(std::string_view ext)
{
    if (ext != tableList_.extension())
        tableList_.setExtension(ext);
}

bool TvxTableDesc::Protected() const
{
    return cursorProps_.isProtected();
}

void TvxTableDesc::SetProtected(bool v)
{
    cursorProps_.setProtected(v);
}

bool TvxTableDesc::StrictRefInt() const
{
    return cursorProps_.strictRefInt();
}

void TvxTableDesc::SetStrictRefInt(bool v)
{
    cursorProps_.setStrictRefInt(v);
}

// ---- Display texts and properties ------------------------------------------------------------

std::string TvxTableDesc::TableDateText() const
{
    const TvxDate d = DecodeDate(tableList_.fileDate());
    return Pad2(d.day) + "/" + Pad2(d.month) + "/" + Pad2(d.year);
}

std::string TvxTableDesc::TableTimeText() const
{
    const TvxTime t = DecodeTime(tableList_.fileTime());
    return Pad2(t.hour) + ":" + Pad2(t.minute);
}

int TvxTableDesc::RecordSize() const
{
    return cursorProps_.recordSize();
}

int TvxTableDesc::RecordBufferSize() const
{
    return cursorProps_.recordBufferSize();
}

int TvxTableDesc::RestructureVersion() const
{
    return cursorProps_.restructureVersion();
}

int TvxTableDesc::CodePage() const
{
    return cursorProps_.codePage();
}

int TvxTableDesc::TableLevel() const
{
    return cursorProps_.tableLevel();
}

std::string TvxTableDesc::LanguageDriver() const
{
    return cursorProps_.languageDriver();
}

std::string TvxTableDesc::TableTypeName() const
{
    return cursorProps_.tableType();
}

int TvxTableDesc::BlockSize() const
{
    return cursorProps_.blockSizeKb() * 1024;
}

// ---- Fields ----------------------------------------------------------------------------------

int TvxTableDesc::FieldCount() const
{
    return records::UsedCount(fields_, cursorProps_.fieldCount());
}

void TvxTableDesc::SetFieldCount(int n)
{
    n = std::clamp(n, 0, MaxFields);
    records::Resize(fields_, n);
    cursorProps_.setFieldCount(n);
}

const TvxFieldDesc* TvxTableDesc::GetField(int pos) const
{
    return pos >= 0 && pos < FieldCount() ? &fields_[pos] : nullptr;
}

bool TvxTableDesc::SetField(const TvxFieldDesc& desc, int pos)
{
    if (pos < 0 || pos >= FieldCount())
        return false;
    fields_[pos] = desc;
    return true;
}

bool TvxTableDesc::InsertField(const TvxFieldDesc& desc, int pos)
{
    const int count = FieldCount();
    if (count >= MaxFields || pos < 0)
        return false;
    cursorProps_.setFieldCount(records::Insert(fields_, count, pos, desc));
    NumberFieldsFrom(std::min(pos, count));
    return true;
}

bool TvxTableDesc::DeleteField(int pos)
{
    const int count = FieldCount();
    if (pos < 0 || pos >= count)
        return false;
    DropRuleIndexesOf(pos + 1);
    cursorProps_.setFieldCount(records::Erase(fields_, count, pos));
    NumberFieldsFrom(pos);
    return true;
}

void TvxTableDesc::NumberFieldsFrom(int pos)
{
    const int count = FieldCount();
    for (int i = std::max(pos, 0); i < count; ++i)
        fields_[i].setFieldNumber(i + 1);
}

void TvxTableDesc::DeleteFieldByName(std::string_view name)
{
    const int no = FieldNumber(name);
    if (no > 0)
        DeleteField(no - 1);
}

bool TvxTableDesc::FindField(std::string_view name, TvxFieldDesc& out) const
{
    const int no = FieldNumber(name);
    if (no == 0)
        return false;
    out = fields_[no - 1];
    return true;
}

int TvxTableDesc::FieldNumber(std::string_view name) const
{
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) {
        if (SameText(fields_[i].name(), name))
            return i + 1;
    }
    return 0;
}

std::string TvxTableDesc::FieldName(int fieldNo) const
{
    return fieldNo >= 1 && fieldNo <= FieldCount() ? fields_[fieldNo - 1].name() : std::string();
}

void TvxTableDesc::ListFieldsNotInIndex(std::vector<std::string>& strings, const TvxIndexDesc& index) const
{
    strings.clear();
    const int keys = KeyCount(index);
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) {
        bool inIndex = false;
        for (int k = 0; k < keys && !inIndex; ++k)
            inIndex = index.keyField(k) == i + 1;
        if (!inIndex)
            strings.push_back(fields_[i].name());
    }
}

// ---- Validity checks -------------------------------------------------------------------------

int TvxTableDesc::ValCheckCount() const
{
    return records::UsedCount(valChecks_, cursorProps_.valCheckCount());
}

void TvxTableDesc::SetValCheckCount(int n)
{
    n = std::clamp(n, 0, MaxValChecks);
    records::Resize(valChecks_, n);
    cursorProps_.setValCheckCount(n);
}

const TvxValCheckDesc* TvxTableDesc::GetValCheck(int pos) const
{
    return pos >= 0 && pos < ValCheckCount() ? &valChecks_[pos] : nullptr;
}

void TvxTableDesc::RenumberValChecks(int fieldNo, int mode)
{
    int count = ValCheckCount();
    for (int i = 0; i < count;) {
        const int no = valChecks_[i].fieldNumber();
        if (mode == 1 && no == fieldNo) {
            count = records::Erase(valChecks_, count, i);
            cursorProps_.setValCheckCount(count);
            continue;
        }
        if (mode == 0 && no >= fieldNo)
            valChecks_[i].setFieldNumber(no + 1);
        else if (mode == 1 && no > fieldNo)
            valChecks_[i].setFieldNumber(no - 1);
        ++i;
    }
}

const TvxValCheckDesc* TvxTableDesc::FindValCheck(int fieldNo) const
{
    const int count = ValCheckCount();
    for (int i = 0; i < count; ++i) {
        if (valChecks_[i].fieldNumber() == fieldNo)
            return &valChecks_[i];
    }
    return nullptr;
}

bool TvxTableDesc::AddValCheck(std::string_view minText, std::string_view maxText, const TvxFieldDesc& field,
                               bool required, std::string_view pictureText, std::string_view defaultText)
{
    const int count = ValCheckCount();
    if (count >= MaxValChecks)
        return false;
    TvxValCheckDesc check;
    check.setFieldNumber(field.fieldNumber());
    check.setRequired(required);
    int failed = 0;
    if (!minText.empty()) {
        check.setHasMinimum(true);
        failed |= TextToValue(minText, field, check.minimum());
    }
    if (!maxText.empty()) {
        check.setHasMaximum(true);
        failed |= TextToValue(maxText, field, check.maximum());
    }
    if (!defaultText.empty()) {
        check.setHasDefault(true);
        failed |= TextToValue(defaultText, field, check.defaultValue());
    }
    check.setPicture(pictureText);
    if (failed != 0)
        return false;
    cursorProps_.setValCheckCount(records::Insert(valChecks_, count, count, check));
    return true;
}

bool TvxTableDesc::DeleteValCheck(int fieldNo)
{
    const int count = ValCheckCount();
    for (int i = 0; i < count; ++i) {
        if (valChecks_[i].fieldNumber() == fieldNo) {
            cursorProps_.setValCheckCount(records::Erase(valChecks_, count, i));
            return true;
        }
    }
    return false;
}

// ---- Bulk fill and memory --------------------------------------------------------------------

void TvxTableDesc::SetFields(std::vector<TvxFieldDesc> fields)
{
    records::Replace(fields_, std::move(fields), MaxFields);
    cursorProps_.setFieldCount(static_cast<int>(fields_.size()));
}

void TvxTableDesc::SetIndexes(std::vector<TvxIndexDesc> indexes)
{
    records::Replace(indexes_, std::move(indexes), MaxStreamedRecords);
    cursorProps_.setIndexCount(static_cast<int>(indexes_.size()));
}

void TvxTableDesc::SetRefInts(std::vector<TvxRefIntDesc> refInts)
{
    records::Replace(refInts_, std::move(refInts), MaxStreamedRecords);
    cursorProps_.setRefIntCount(static_cast<int>(refInts_.size()));
}

void TvxTableDesc::SetValChecks(std::vector<TvxValCheckDesc> checks)
{
    records::Replace(valChecks_, std::move(checks), MaxValChecks);
    cursorProps_.setValCheckCount(static_cast<int>(valChecks_.size()));
}

std::size_t TvxTableDesc::MemoryUsage() const
{
    return sizeof(*this) + fields_.capacity() * sizeof(TvxFieldDesc) + indexes_.capacity() * sizeof(TvxIndexDesc) +
           refInts_.capacity() * sizeof(TvxRefIntDesc) + valChecks_.capacity() * sizeof(TvxValCheckDesc);
}

int TvxTableDesc::KeyCount(const TvxIndexDesc& index)
{
    return std::min(index.keyFieldCount(), TvxIndexDesc::MaxKeyFields);
}

int TvxTableDesc::RuleFieldCount(const TvxRefIntDesc& rule)
{
    return std::min(rule.fieldCount(), TvxRefIntDesc::MaxFields);
}

} // namespace morvane
