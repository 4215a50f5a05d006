// The referential-integrity half of TvxTableDesc: rules built from the dependent table, their
// fields picked one by one against the master's primary key, and the index that carries them.

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"
#include "model/vxRecordArrays.h"
#include "model/vxTextCase.h"

#include <algorithm>
#include <array>

namespace morvane {

namespace {

// Master table named by a rule: directory and extension removed, upper-cased.
std::string MasterTableName(std::string_view otherTable)
{
    std::string_view name = StripDirectory(otherTable);
    name = name.substr(0, name.find('.'));
    return UpperText(name);
}

} // namespace

int TvxTableDesc::RefIntCount() const
{
    return records::UsedCount(refInts_, cursorProps_.refIntCount());
}

void TvxTableDesc::SetRefIntCount(int n)
{
    n = std::clamp(n, 0, MaxStreamedRecords);
    records::Resize(refInts_, n);
    cursorProps_.setRefIntCount(n);
}

const TvxRefIntDesc* TvxTableDesc::GetRefInt(int pos) const
{
    return pos >= 0 && pos < RefIntCount() ? &refInts_[pos] : nullptr;
}

TvxRefIntDesc& TvxTableDesc::RefIntAt(int pos)
{
    return refInts_.at(static_cast<std::size_t>(pos));
}

const TvxRefIntDesc* TvxTableDesc::FindRefInt(std::string_view name) const
{
    return GetRefInt(RefIntPosByName(name));
}

int TvxTableDesc::RefIntPosByName(std::string_view name) const
{
    const int count = RefIntCount();
    for (int i = 0; i < count; ++i) {
        if (SameText(refInts_[i].name(), name))
            return i;
    }
    return -1;
}

bool TvxTableDesc::RefIntExists(std::string_view name) const
{
    return RefIntPosByName(name) >= 0;
}

bool TvxTableDesc::RefIntToTableExists(std::string_view fileName) const
{
    const int count = RefIntCount();
    for (int i = 0; i < count; ++i) {
        if (refInts_[i].otherTable() == fileName)
            return true;
    }
    return false;
}

std::string TvxTableDesc::NewRefIntName() const
{
    for (int n = 1;; ++n) {
        std::string candidate = "NewRefInt" + std::to_string(n);
        if (!RefIntExists(candidate))
            return candidate;
    }
}

int TvxTableDesc::RefIntFilledCount(int pos) const
{
    const TvxRefIntDesc* rule = GetRefInt(pos);
    if (!rule)
        return 0;
    const int n = RuleFieldCount(*rule);
    int filled = 0;
    while (filled < n && rule->thisField(filled) != 0)
        ++filled;
    return filled;
}

bool TvxTableDesc::AllRefIntsComplete() const
{
    // A rule without fields has no master yet: it is not complete either.
    const int count = RefIntCount();
    for (int i = 0; i < count; ++i) {
        const int n = RuleFieldCount(refInts_[i]);
        if (n == 0 || RefIntFilledCount(i) != n)
            return false;
    }
    return true;
}

int TvxTableDesc::AddRefInt(const TvxRefIntDesc& desc)
{
    const int count = RefIntCount();
    if (count >= MaxRefInts)
        return vxErrMaxRefInts;
    cursorProps_.setRefIntCount(records::Insert(refInts_, count, count, desc));
    refInts_.back().setKind(TvxRefIntDesc::Dependent);
    return vxOK;
}

bool TvxTableDesc::DeleteRefInt(int pos)
{
    const int count = RefIntCount();
    if (pos < 0 || pos >= count)
        return false;
    cursorProps_.setRefIntCount(records::Erase(refInts_, count, pos));
    return true;
}

int TvxTableDesc::SetRefIntMaster(int pos, const TvxTableDesc& master)
{
    const TvxIndexDesc* key = master.GetIndex(0);
    if (!key || !key->primary())
        return vxErrMasterNoPrimaryKey;
    if (pos < 0 || pos >= RefIntCount())
        return vxErrRefIntNotFound;

    // Everything needed of the master is taken first: the master may be this very table.
    const int keyCount = KeyCount(*key);
    std::array<int, TvxIndexDesc::MaxKeyFields> keyFields{};
    for (int k = 0; k < TvxIndexDesc::MaxKeyFields; ++k)
        keyFields[k] = key->keyField(k);
    const std::string masterFile = master.FileName();

    TvxRefIntDesc& rule = refInts_[pos];
    int present = -1;
    if (rule.fieldCount() != 1)
        present = RuleIndexPos(rule, rule.name());
    else if (rule.thisField(0) != 0)
        present = RuleIndexPos(rule, FieldName(rule.thisField(0)));

    rule.setFieldCount(keyCount);
    for (int k = 0; k < TvxRefIntDesc::MaxFields; ++k) {
        rule.setOtherField(k, keyFields[k]);
        rule.setThisField(k, 0);
    }
    rule.setOtherTable(masterFile);

    if (present >= 0)
        DeleteIndex(present);
    return vxOK;
}

int TvxTableDesc::AddRefIntField(int fieldNo, int pos)
{
    if (pos < 0 || pos >= RefIntCount())
        return vxErrRefIntNotFound;
    if (fieldNo < 1 || fieldNo > FieldCount())
        return vxErrRefIntFieldNotFound;
    TvxRefIntDesc& rule = refInts_[pos];
    const int n = RuleFieldCount(rule);
    const int filled = RefIntFilledCount(pos);
    if (filled >= n)
        return vxErrRefIntMaxFields;

    if (n - filled > 1) {
        rule.setThisField(filled, fieldNo);
        return vxOK;
    }

    // The last field. A rule of the table on itself must hold a field outside its primary key.
    if (FileName() == rule.otherTable()) {
        bool same = fieldNo == rule.otherField(filled);
        for (int k = 0; k < filled && same; ++k)
            same = rule.thisField(k) == rule.otherField(k);
        if (same)
            return vxErrSelfRelation;
    }

    bool indexFound = false;
    const int indexes = IndexCount();
    for (int i = 0; i < indexes && !indexFound; ++i) {
        const TvxIndexDesc& index = indexes_[i];
        if (KeyCount(index) < n)
            continue;
        bool same = index.keyField(filled) == fieldNo;
        for (int k = 0; k < filled && same; ++k)
            same = index.keyField(k) == rule.thisField(k);
        indexFound = same;
    }

    rule.setThisField(filled, fieldNo);
    if (!indexFound) {
        TvxIndexDesc index;
        index.setName(n == 1 ? FieldName(fieldNo) : rule.name());
        index.setMaintained(true);
        for (int k = 0; k < n; ++k)
            index.setKeyField(k, rule.thisField(k));
        index.setKeyFieldCount(n);
        // An index of that name already there (one that carried the rule before it lost a field)
        // is pointed at the rule's fields: a table never gets two indexes of one name. One that
        // is the primary key or carries another rule stays as it is.
        const int existing = index.name().empty() ? -1 : IndexPosByName(index.name());
        if (existing < 0) {
            AddIndex(index);
        } else if (!indexes_[existing].primary() && CheckIndexInUse(existing) == vxOK) {
            index.setId(indexes_[existing].id());
            indexes_[existing] = index;
        }
    }
    return vxOK;
}

void TvxTableDesc::DropRuleIndexesOf(int fieldNo)
{
    const std::string fieldName = FieldName(fieldNo);
    const int rules = RefIntCount();
    for (int r = 0; r < rules; ++r) {
        const TvxRefIntDesc& rule = refInts_[r];
        const int n = RuleFieldCount(rule);
        bool uses = false;
        for (int k = 0; k < n && !uses; ++k)
            uses = rule.thisField(k) == fieldNo;
        if (!uses || RefIntFilledCount(r) != n)
            continue;
        const int index = RuleIndexPos(rule, n == 1 ? fieldName : rule.name());
        if (index >= 0)
            cursorProps_.setIndexCount(records::Erase(indexes_, IndexCount(), index));
    }
}

int TvxTableDesc::RemoveRefIntField(int pos)
{
    if (pos < 0 || pos >= RefIntCount())
        return vxErrRefIntNotFound;
    TvxRefIntDesc& rule = refInts_[pos];
    const int found =
        rule.fieldCount() < 2 ? RuleIndexPos(rule, FieldName(rule.thisField(0))) : RuleIndexPos(rule, rule.name());
    const int filled = RefIntFilledCount(pos);
    if (filled > 0)
        rule.setThisField(filled - 1, 0);
    if (found >= 0)
        DeleteIndex(found);
    return vxOK;
}

void TvxTableDesc::RenameRefInt(std::string_view oldName, std::string_view newName)
{
    const int pos = RefIntPosByName(oldName);
    if (pos < 0)
        return;
    TvxRefIntDesc& rule = refInts_[pos];
    // The index takes the name as the rule keeps it (30 characters), so that the rule still
    // finds its index by name.
    const int index = rule.fieldCount() > 1 ? RuleIndexPos(rule, oldName) : -1;
    rule.setName(newName);
    if (index >= 0)
        indexes_[index].setName(rule.name());
}

bool TvxTableDesc::CarriesRule(const TvxIndexDesc& index, const TvxRefIntDesc& rule)
{
    const int keys = KeyCount(index);
    if (keys == 0 || RuleFieldCount(rule) != keys)
        return false;
    for (int k = 0; k < keys; ++k) {
        if (rule.thisField(k) != index.keyField(k))
            return false;
    }
    return true;
}

int TvxTableDesc::RuleIndexPos(const TvxRefIntDesc& rule, std::string_view name) const
{
    if (name.empty())
        return -1;
    const int count = IndexCount();
    for (int i = 0; i < count; ++i) {
        const TvxIndexDesc& index = indexes_[i];
        if (!index.primary() && SameText(index.name(), name) && CarriesRule(index, rule))
            return i;
    }
    return -1;
}

void TvxTableDesc::ListRuleFields(std::vector<std::string>& strings, int pos) const
{
    const TvxRefIntDesc* rule = GetRefInt(pos);
    if (!rule)
        return;
    for (int k = 0; k < TvxRefIntDesc::MaxFields && rule->thisField(k) != 0; ++k)
        strings.push_back(FieldName(rule->thisField(k)));
}

void TvxTableDesc::ListMasterFields(std::vector<std::string>& strings, const TvxTableDesc& master, int pos) const
{
    const TvxRefIntDesc* rule = GetRefInt(pos);
    if (!rule || rule->otherTable().empty())
        return;
    const int n = RuleFieldCount(*rule);
    for (int k = 0; k < n; ++k)
        strings.push_back(master.FieldName(rule->otherField(k)));
}

void TvxTableDesc::ListCompatibleFields(std::vector<std::string>& strings, int pos,
                                        const TvxFieldDesc& masterField) const
{
    strings.clear();
    std::array<int, TvxRefIntDesc::MaxFields> chosen{};
    const TvxRefIntDesc* rule = GetRefInt(pos);
    if (rule && rule->kind() == TvxRefIntDesc::Dependent) {
        for (int k = 0; k < TvxRefIntDesc::MaxFields; ++k)
            chosen[k] = rule->thisField(k);
    }
    // An Autoincrement key is matched by Long Integer fields; an Autoincrement field is never a partner.
    const int partnerType = masterField.type() == fldAutoInc ? fldLong : masterField.type();
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) {
        const TvxFieldDesc& field = fields_[i];
        if (field.type() != partnerType || field.length() != masterField.length() || field.type() == fldAutoInc)
            continue;
        if (std::find(chosen.begin(), chosen.end(), i + 1) != chosen.end())
            continue;
        strings.push_back(field.name());
    }
}

int TvxTableDesc::CheckMasterTables(std::string_view ownName, const std::vector<std::string>& tableNames, bool remove)
{
    const std::string own = UpperText(ownName);
    int result = 0;
    int pos = 0;
    // Every rule is looked at once; after a removal the next rule has moved into this position.
    while (pos < RefIntCount()) {
        const TvxRefIntDesc& rule = refInts_[pos];
        if (rule.kind() == TvxRefIntDesc::Master) {
            result = 1;
            ++pos;
            continue;
        }
        const std::string masterName = MasterTableName(rule.otherTable());
        const bool known = masterName == own || std::any_of(tableNames.begin(), tableNames.end(),
                                                            [&](const auto& t) { return SameText(t, masterName); });
        if (known) {
            ++pos;
            continue;
        }
        if (!remove)
            return 2;
        DeleteRefInt(pos);
    }
    return result;
}

} // namespace morvane
