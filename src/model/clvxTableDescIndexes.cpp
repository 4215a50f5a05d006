// The index half of TvxTableDesc: primary key and secondary indexes, their key fields, and the
// protection of indexes that carry a referential-integrity rule.

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "model/vxRecordArrays.h"
#include "model/vxTextCase.h"

#include <algorithm>
#include <array>

namespace morvane {

namespace {

constexpr std::string_view PrimaryName = "PRIMARY";
constexpr std::size_t MaxIndexNameLength = 259;

} // namespace

int TvxTableDesc::IndexCount() const
{
    return records::UsedCount(indexes_, cursorProps_.indexCount());
}

void TvxTableDesc::SetIndexCount(int n)
{
    n = std::clamp(n, 0, MaxStreamedRecords);
    records::Resize(indexes_, n);
    cursorProps_.setIndexCount(n);
}

const TvxIndexDesc* TvxTableDesc::GetIndex(int pos) const
{
    return pos >= 0 && pos < IndexCount() ? &indexes_[pos] : nullptr;
}

TvxIndexDesc& TvxTableDesc::IndexAt(int pos)
{
    return indexes_.at(static_cast<std::size_t>(pos));
}

bool TvxTableDesc::IsPrimary(int pos) const
{
    const TvxIndexDesc* index = GetIndex(pos);
    return index && index->primary();
}

bool TvxTableDesc::HasPrimaryKey() const
{
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        if (indexes_[i].primary())
            return true;
    }
    return false;
}

bool TvxTableDesc::PrimaryKeyReaches(int n) const
{
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        if (indexes_[i].primary() && KeyCount(indexes_[i]) >= n)
            return true;
    }
    return false;
}

bool TvxTableDesc::AllIndexesHaveFields() const
{
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        if (KeyCount(indexes_[i]) < 1)
            return false;
    }
    return true;
}

int TvxTableDesc::FindIndex(std::string_view name) const
{
    const bool primaryName = SameText(name, PrimaryName);
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        if (SameText(indexes_[i].name(), name) || (primaryName && indexes_[i].primary()))
            return i;
    }
    return -1;
}

int TvxTableDesc::IndexPosByName(std::string_view name) const
{
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        if (SameText(indexes_[i].name(), name))
            return i;
    }
    return -1;
}

bool TvxTableDesc::IndexExists(std::string_view name) const
{
    return IndexPosByName(name) >= 0;
}

std::string TvxTableDesc::NewIndexName() const
{
    for (int n = 1;; ++n) {
        std::string candidate = "NewIndex" + std::to_string(n);
        if (FindIndex(candidate) < 0)
            return candidate;
    }
}

int TvxTableDesc::CheckIndexInUse(int pos) const
{
    const TvxIndexDesc* index = GetIndex(pos);
    if (!index)
        return vxOK;
    const int rules = RefIntCount();
    if (index->primary() && rules > 0)
        return vxErrNeedsPrimaryKey;
    // An index without key fields carries no rule, not even a rule that has no fields yet.
    for (int r = 0; r < rules; ++r) {
        if (CarriesRule(*index, refInts_[r]))
            return vxErrIndexUsedByRefInt;
    }
    return vxOK;
}

int TvxTableDesc::AddIndex(const TvxIndexDesc& desc)
{
    const int count = IndexCount();
    if (count >= MaxIndexes)
        return vxErrMaxIndexes;
    bool idOneTaken = false;
    for (int i = 0; i < count && !idOneTaken; ++i)
        idOneTaken = indexes_[i].id() == 1;
    cursorProps_.setIndexCount(records::Insert(indexes_, count, count, desc));
    indexes_.back().setId(idOneTaken ? 2 : 1);
    return vxOK;
}

int TvxTableDesc::DeleteIndex(int pos)
{
    const int count = IndexCount();
    if (pos < 0 || pos >= count)
        return vxOK;
    if (const int code = CheckIndexInUse(pos))
        return code;
    cursorProps_.setIndexCount(records::Erase(indexes_, count, pos));
    return vxOK;
}

int TvxTableDesc::AddIndexField(int fieldNo, int pos)
{
    if (fieldNo < 1 || fieldNo > FieldCount())
        return vxErrFieldPosOut;
    if (!TypeCanBeIndexed(fields_[fieldNo - 1].type()))
        return vxErrFieldTypeNotIndexable;
    if (pos < 0 || pos >= IndexCount())
        return vxErrIndexPosOut;
    TvxIndexDesc& index = indexes_[pos];
    const int keys = KeyCount(index);
    if (keys >= TvxIndexDesc::MaxKeyFields)
        return vxErrIndexMaxFields;
    if (const int code = CheckIndexInUse(pos))
        return code;
    if (index.primary()) {
        // Primary-key fields are the table's first fields, in creation order.
        const int next = keys == 0 ? 1 : index.keyField(keys - 1) + 1;
        if (fieldNo != next)
            return vxErrPrimaryKeyOrder;
    }
    index.setKeyField(keys, fieldNo);
    index.setKeyFieldCount(keys + 1);
    return vxOK;
}

int TvxTableDesc::RemoveIndexField(int keyPos, int pos)
{
    if (const int code = CheckIndexInUse(pos))
        return code;
    if (keyPos < 0 || keyPos >= FieldCount())
        return vxErrFieldPosOut;
    if (pos < 0 || pos >= IndexCount())
        return vxErrIndexPosOut;
    TvxIndexDesc& index = indexes_[pos];
    const int keys = KeyCount(index);
    if (keyPos >= keys)
        return vxErrFieldPosOut;
    if (index.primary() && keyPos != keys - 1)
        return vxErrPrimaryKeyOrder;
    for (int k = keyPos; k < keys - 1; ++k)
        index.setKeyField(k, index.keyField(k + 1));
    index.setKeyField(keys - 1, 0);
    index.setKeyFieldCount(keys - 1);
    return vxOK;
}

int TvxTableDesc::SwapIndexFields(int pos, int keyPosA, int keyPosB)
{
    if (const int code = CheckIndexInUse(pos))
        return code;
    if (pos < 0 || pos >= IndexCount())
        return vxOK;
    TvxIndexDesc& index = indexes_[pos];
    // Only entries of the key itself: an exchange with an unused slot would put a 0 into the key.
    const int keys = KeyCount(index);
    if (keyPosA >= 0 && keyPosA < keys && keyPosB >= 0 && keyPosB < keys) {
        const int a = index.keyField(keyPosA);
        index.setKeyField(keyPosA, index.keyField(keyPosB));
        index.setKeyField(keyPosB, a);
    }
    return vxOK;
}

int TvxTableDesc::RenameIndex(int pos, std::string_view name)
{
    if (const int code = CheckIndexInUse(pos))
        return code;
    if (pos < 0 || pos >= IndexCount())
        return vxErrIndexPosOut;
    TvxIndexDesc& index = indexes_[pos];
    if (name.substr(0, MaxIndexNameLength) == index.name())
        return vxErrIndexSameName;
    if (SameText(name, PrimaryName)) {
        const int keys = KeyCount(index);
        for (int k = 0; k < keys; ++k) {
            if (index.keyField(k) != k + 1)
                return vxErrPrimaryKeyConvert;
        }
        index.setId(0);
        index.setPrimary(true);
        index.setUnique(true);
        index.setMaintained(true);
        index.setDescending(false);
        index.setSubset(false);
        index.setExpression(false);
        index.setCaseInsensitive(false);
        index.setName("");
        return vxOK;
    }
    if (name.empty())
        return vxErrIndexNameEmpty;
    index.setName(name);
    index.setPrimary(false);
    index.setId(pos);
    return vxOK;
}

void TvxTableDesc::RenumberIndexFields(int fieldNo, int mode)
{
    if (fieldNo < 1 || (mode != 0 && mode != 1))
        return;
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        TvxIndexDesc& index = indexes_[i];
        const int keys = KeyCount(index);
        std::array<int, TvxIndexDesc::MaxKeyFields> kept{};
        int n = 0;
        for (int k = 0; k < keys; ++k) {
            const int no = index.keyField(k);
            if (mode == 0)
                kept[n++] = no >= fieldNo ? no + 1 : no;
            else if (no != fieldNo)
                kept[n++] = no > fieldNo ? no - 1 : no;
        }
        for (int k = 0; k < TvxIndexDesc::MaxKeyFields; ++k)
            index.setKeyField(k, k < n ? kept[k] : (k < keys ? 0 : index.keyField(k)));
        index.setKeyFieldCount(n);
    }

    RenumberValChecks(fieldNo, mode);

    // A rule's entries pair with the master's key fields by position: a deleted field empties
    // its entry and the later ones, which are chosen again.
    const int rules = RefIntCount();
    for (int r = 0; r < rules; ++r) {
        TvxRefIntDesc& rule = refInts_[r];
        bool lost = false;
        for (int k = 0; k < TvxRefIntDesc::MaxFields; ++k) {
            const int no = rule.thisField(k);
            lost = lost || (mode == 1 && no == fieldNo);
            if (lost)
                rule.setThisField(k, 0);
            else if (no != 0 && no >= fieldNo + mode)
                rule.setThisField(k, mode == 0 ? no + 1 : no - 1);
        }
    }
}

} // namespace morvane
