#include "db/paradox/ParadoxTableRecords.h"

#include "db/paradox/ParadoxValue.h"

#include <algorithm>

namespace morvane {

namespace {

constexpr int CompositeIndexIdBase = 256;

int keyLengthOfPrimary(const ParadoxTableHeader& h)
{
    int len = 0;
    for (int i = 0; i < h.primaryKeyFields; ++i)
        len += h.fields[static_cast<std::size_t>(i)].length();
    return len;
}

std::size_t ruleCount(const ParadoxTable& t)
{
    return t.val ? t.val->dependentRules.size() + t.val->masterRules.size() : 0;
}

} // namespace

TvxCursorProps ParadoxCursorProps(const ParadoxTable& table, std::string_view tableName)
{
    const ParadoxTableHeader& h = table.header;
    TvxCursorProps p;
    p.setTableName(tableName);
    p.setTableType("PARADOX");
    p.setFieldCount(h.numFields);
    p.setRecordSize(h.recordSize);
    p.setRecordBufferSize(h.recordSize);
    p.setIndexCount(static_cast<int>((h.primaryKeyFields > 0 ? 1 : 0) + table.secondaryIndexes.size()));
    p.setValCheckCount(table.val ? static_cast<int>(table.val->checks.size()) : 0);
    p.setRefIntCount(static_cast<int>(ruleCount(table)));
    p.setRestructureVersion(h.changeCount1);
    p.setCodePage(table.codePage());
    p.setProtected(h.passwordKey() != 0);
    p.setTableLevel(h.tableLevel());
    p.setLanguageDriver(table.languageDriver());
    p.setBlockSizeKb(h.blockSizeKb);
    p.setStrictRefInt(h.hasDataHeader && (h.flags55 & 0x02) != 0);
    return p;
}

std::vector<TvxFieldDesc> ParadoxFieldDescs(const ParadoxTable& table)
{
    std::vector<TvxFieldDesc> out;
    out.reserve(table.header.fields.size());
    int offset = 0;
    for (std::size_t i = 0; i < table.header.fields.size(); ++i) {
        const ParadoxField& f = table.header.fields[i];
        TvxFieldDesc& d = out.emplace_back();
        d.setFieldNumber(static_cast<int>(i) + 1);
        d.setName(f.name);
        d.setType(f.engineType());
        d.setUnits1(f.units1());
        d.setUnits2(f.units2());
        d.setOffset(offset);
        d.setLength(f.length());
        bool checked = false;
        if (table.val)
            for (const auto& c : table.val->checks)
                checked = checked || c.fieldPosition == static_cast<int>(i);
        d.setValCheckKind(checked ? 1 : 0);
        offset += f.length();
    }
    return out;
}

std::vector<TvxIndexDesc> ParadoxIndexDescs(const ParadoxTable& table)
{
    const ParadoxTableHeader& h = table.header;
    std::vector<TvxIndexDesc> out;
    out.reserve((h.primaryKeyFields > 0 ? 1 : 0) + table.secondaryIndexes.size());
    if (h.primaryKeyFields > 0) {
        TvxIndexDesc& d = out.emplace_back();
        d.setId(0);
        d.setPrimary(true);
        d.setUnique(true);
        d.setMaintained(true);
        // The record holds 16 key fields; a longer key (beyond what Paradox allows) is cut there.
        const int keyFields = std::min<int>(h.primaryKeyFields, TvxIndexDesc::MaxKeyFields);
        d.setKeyFieldCount(keyFields);
        for (int i = 0; i < keyFields; ++i)
            d.setKeyField(i, i + 1);
        d.setKeyLength(keyLengthOfPrimary(h));
        d.setBlockSize(table.primaryIndex ? table.primaryIndex->blockSizeKb : h.blockSizeKb);
        d.setRestructureNumber(h.changeCount1);
    }
    for (const auto& x : table.secondaryIndexes) {
        TvxIndexDesc& d = out.emplace_back();
        d.setName(x.name);
        d.setId(x.composite ? CompositeIndexIdBase + std::max(x.number, 0) : x.keyFields.front());
        d.setUnique(x.unique);
        d.setDescending(x.descending);
        d.setMaintained(x.maintained);
        d.setCaseInsensitive(x.caseInsensitive);
        d.setKeyFieldCount(static_cast<int>(x.keyFields.size()));
        for (std::size_t i = 0; i < x.keyFields.size(); ++i) {
            d.setKeyField(static_cast<int>(i), x.keyFields[i]);
            d.setDescendingField(static_cast<int>(i), x.descendingFields[i]);
        }
        d.setKeyLength(x.keyLength);
        d.setBlockSize(x.blockSizeKb);
        d.setRestructureNumber(h.changeCount1);
    }
    return out;
}

std::vector<TvxRefIntDesc> ParadoxRefIntDescs(const ParadoxTable& table)
{
    std::vector<TvxRefIntDesc> out;
    if (!table.val)
        return out;
    out.reserve(ruleCount(table));
    // Paradox offers no delete rule: deleting a master record with dependents is refused.
    const auto add = [&](const std::string& name, TvxRefIntDesc::Kind kind, const std::string& otherTable,
                         std::uint32_t updateRule, const std::vector<int>& thisFields,
                         const std::vector<int>& otherFields) {
        TvxRefIntDesc& d = out.emplace_back();
        d.setRuleNumber(static_cast<int>(out.size()));
        d.setName(name);
        d.setKind(kind);
        d.setOtherTable(otherTable);
        d.setUpdateRule(updateRule == 1 ? TvxRefIntDesc::Cascade : TvxRefIntDesc::Prohibit);
        d.setDeleteRule(TvxRefIntDesc::Prohibit);
        d.setFieldCount(static_cast<int>(thisFields.size()));
        for (std::size_t i = 0; i < thisFields.size() && i < otherFields.size(); ++i) {
            d.setThisField(static_cast<int>(i), thisFields[i]);
            d.setOtherField(static_cast<int>(i), otherFields[i]);
        }
    };
    for (const auto& r : table.val->dependentRules)
        add(r.name, TvxRefIntDesc::Dependent, r.masterTable, r.updateRule, r.fields, r.masterFields);
    for (const auto& r : table.val->masterRules)
        add(r.name, TvxRefIntDesc::Master, r.dependentTable, r.updateRule, table.val->masterKeyFields,
            r.dependentFields);
    return out;
}

std::vector<TvxValCheckDesc> ParadoxValCheckDescs(const ParadoxTable& table)
{
    std::vector<TvxValCheckDesc> out;
    if (!table.val)
        return out;
    out.reserve(table.val->checks.size());
    for (const auto& c : table.val->checks) {
        const ParadoxField& f = table.header.fields[static_cast<std::size_t>(c.fieldPosition)];
        TvxValCheckDesc& d = out.emplace_back();
        d.setFieldNumber(c.fieldPosition + 1);
        d.setRequired(c.required);
        d.setHasMinimum(c.hasMinimum && ParadoxValueToNative(f, c.minimum.data(), c.minimum.size(), d.minimum()));
        d.setHasMaximum(c.hasMaximum && ParadoxValueToNative(f, c.maximum.data(), c.maximum.size(), d.maximum()));
        d.setHasDefault(c.hasDefault &&
                        ParadoxValueToNative(f, c.defaultValue.data(), c.defaultValue.size(), d.defaultValue()));
        d.setPicture(c.picture);
        if (c.hasLookup) {
            // Lookup part: kind (private, all corresponding, help, all corresponding + help)
            // and the lookup table's name.
            d.setI32(TvxValCheckDesc::oLookup, 1 + (c.lookupOptions & 0x01) + 2 * ((c.lookupOptions & 0x02) >> 1));
            d.setText(TvxValCheckDesc::oLookup + 4, 261, c.lookupTable);
        }
    }
    return out;
}

} // namespace morvane
