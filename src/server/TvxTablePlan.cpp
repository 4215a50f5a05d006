#include "server/TvxTablePlan.h"

#include <algorithm>

#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "model/vxTextCase.h"
#include "server/vxCheckValues.h"

namespace morvane {

namespace {

int PrimaryKeyCount(const TvxTableDesc& desc)
{
    for (int i = 0; i < desc.IndexCount(); ++i)
        if (desc.IsPrimary(i))
            return std::min(desc.GetIndex(i)->keyFieldCount(), TvxIndexDesc::MaxKeyFields);
    return 0;
}

int BcdDecimals(const TvxFieldDesc& f)
{
    return f.type() == fldBcd ? f.units2() : 0;
}

// One value area of a check, carried from the old field to the new one; false when it does
// not carry (the part is dropped).
bool CarryArea(std::uint8_t* area, const TvxFieldDesc& from, const TvxFieldDesc& to, int codePage)
{
    TvxFieldValue value;
    const TvxAreaValue kind = AreaToValue(area, from.type(), BcdDecimals(from), value);
    if (kind == TvxAreaValue::Now)
        return from.type() == to.type();
    if (kind == TvxAreaValue::None)
        return false;
    TvxFieldValue converted;
    if (ConvertValue(value, TvxFieldShape::Of(from, codePage), TvxFieldShape::Of(to, codePage), converted) !=
        TvxConvert::Exact)
        return false;
    return ValueToArea(converted, to.type(), BcdDecimals(to), area);
}

} // namespace

int FieldLength(int type, int size)
{
    switch (type) {
    case fldAlpha:
    case fldBytes: return size;
    case fldNumber:
    case fldMoney:
    case fldTimestamp: return 8;
    case fldDate:
    case fldLong:
    case fldTime:
    case fldAutoInc: return 4;
    case fldShort: return 2;
    case fldLogical: return 1;
    case fldMemo:
    case fldBinary:
    case fldFmtMemo:
    case fldOle:
    case fldGraphic: return size + 10;
    case fldBcd: return 17;
    default: return 0;
    }
}

int LevelNeeded(const TvxTableDesc& desc)
{
    int level = 4;
    for (const TvxFieldDesc& f : desc.Fields())
        if (f.type() >= fldLong && f.type() <= fldBcd)
            level = 5;
    for (int i = 0; i < desc.IndexCount(); ++i) {
        const TvxIndexDesc& x = *desc.GetIndex(i);
        bool descending = x.descending();
        for (int k = 0; k < std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields); ++k)
            descending = descending || x.descendingField(k);
        if (!x.primary() && (x.unique() || descending))
            level = 7;
    }
    return level;
}

int WrittenLevel(const TvxTableDesc& desc)
{
    // Level 3 stays as long as the fields need no more than level 4 gives (the writer raises
    // what else its format needs).
    const int needed = LevelNeeded(desc);
    const int current = desc.TableLevel() >= 3 ? desc.TableLevel() : 4;
    return needed > 4 ? std::max(current, needed) : current;
}

std::string TableBaseName(std::string_view name)
{
    name = StripDirectory(name);
    if (name.size() > 3 && SameText(name.substr(name.size() - 3), ".DB"))
        name.remove_suffix(3);
    return std::string(name);
}

int TvxTablePlan::CodePage() const
{
    const int cp = desc.CodePage();
    return cp > 0 ? cp : vxNewTableCodePage;
}

int TvxTablePlan::FieldPos(std::string_view fieldName) const
{
    for (int i = 0; i < desc.FieldCount(); ++i)
        if (SameText(desc.GetField(i)->name(), fieldName))
            return i;
    return -1;
}

int TvxTablePlan::InsertField(int pos, const TvxFieldDesc& field, TvxFieldOrigin origin)
{
    const int count = desc.FieldCount();
    pos = std::clamp(pos, 0, count);
    const int keys = PrimaryKeyCount(desc);
    if (pos < keys) {
        notes.push_back("field " + field.name() + " placed after the primary key");
        pos = keys;
    }
    if (!desc.InsertField(field, pos))
        return -1;
    fields.insert(fields.begin() + pos, std::move(origin));
    desc.RenumberIndexFields(pos + 1, 0); // index keys, checks and rules follow
    return pos;
}

void TvxTablePlan::DeleteField(int pos)
{
    if (pos < 0 || pos >= desc.FieldCount())
        return;
    const int fieldNo = pos + 1;
    desc.DeleteField(pos);
    fields.erase(fields.begin() + pos);
    desc.RenumberIndexFields(fieldNo, 1); // the field's check goes, the others follow
}

void TvxTablePlan::ChangeField(int pos, const TvxFieldDesc& field)
{
    if (pos < 0 || pos >= desc.FieldCount())
        return;
    const TvxFieldDesc old = *desc.GetField(pos);
    const int fieldNo = pos + 1;
    TvxFieldDesc changed = field;
    changed.setFieldNumber(fieldNo);
    changed.setValCheckKind(old.valCheckKind());
    fields[static_cast<std::size_t>(pos)].chain.push_back(TvxFieldShape::Of(changed, CodePage()));

    // A check's values hold as they are unless the type, the decimals or a shorter Alpha says otherwise.
    const bool valuesHold = old.type() == changed.type() && BcdDecimals(old) == BcdDecimals(changed) &&
                            (old.type() != fldAlpha || old.units1() <= changed.units1());
    std::vector<TvxValCheckDesc> checks = desc.ValChecks();
    for (TvxValCheckDesc& c : checks) {
        if (c.fieldNumber() != fieldNo || valuesHold)
            continue;
        const auto carry = [&](bool has, std::uint8_t* area, void (TvxValCheckDesc::*set)(bool), const char* part) {
            if (has && !CarryArea(area, old, changed, CodePage())) {
                (c.*set)(false);
                std::fill(area, area + TvxValCheckDesc::AreaSize, std::uint8_t(0));
                notes.push_back(std::string(part) + " of field " + changed.name() + " dropped: it does not convert");
            }
        };
        carry(c.hasMinimum(), c.minimum(), &TvxValCheckDesc::setHasMinimum, "minimum");
        carry(c.hasMaximum(), c.maximum(), &TvxValCheckDesc::setHasMaximum, "maximum");
        carry(c.hasDefault(), c.defaultValue(), &TvxValCheckDesc::setHasDefault, "default");
    }
    desc.SetValChecks(std::move(checks));

    if (!TypeCanBeIndexed(changed.type())) {
        for (int i = 0; i < desc.IndexCount(); ++i) {
            TvxIndexDesc& x = desc.IndexAt(i);
            const int keys = std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields);
            int kept = 0;
            bool cut = false;
            for (int k = 0; k < keys; ++k) {
                // The primary key stays the table's first fields: it ends before this one.
                cut = cut || (x.keyField(k) == fieldNo && x.primary());
                if (!cut && x.keyField(k) != fieldNo)
                    x.setKeyField(kept++, x.keyField(k));
            }
            for (int k = kept; k < keys; ++k)
                x.setKeyField(k, 0);
            if (kept != keys) {
                x.setKeyFieldCount(kept);
                notes.push_back("field " + changed.name() + " left the index " +
                                (x.primary() ? std::string("(primary key)") : x.name()));
            }
        }
    }
    desc.SetField(changed, pos);
}

void TvxTablePlan::RecordNumber(const std::string& name, int number, const std::string& oldName)
{
    std::erase_if(recordedNumbers, [&](const auto& r) {
        return SameText(r.first, name) || (!oldName.empty() && SameText(r.first, oldName));
    });
    if (number > 0)
        recordedNumbers.emplace_back(name, number);
}

void TvxTablePlan::ApplyRecordedNumbers()
{
    const int n = desc.FieldCount();
    std::vector<int> slot(static_cast<std::size_t>(n), -1); // new position -> old position
    std::vector<bool> placed(static_cast<std::size_t>(n), false);
    for (const auto& [name, number] : recordedNumbers) {
        const int pos = FieldPos(name);
        if (pos < 0)
            continue;
        if (number < 1 || number > n || slot[static_cast<std::size_t>(number - 1)] >= 0) {
            notes.push_back("field " + name + " cannot take position " + std::to_string(number));
            return;
        }
        slot[static_cast<std::size_t>(number - 1)] = pos;
        placed[static_cast<std::size_t>(pos)] = true;
    }
    int next = 0;
    for (int pos = 0; pos < n; ++pos) {
        if (placed[static_cast<std::size_t>(pos)])
            continue;
        while (slot[static_cast<std::size_t>(next)] >= 0)
            ++next;
        slot[static_cast<std::size_t>(next)] = pos;
    }
    std::vector<int> newNumber(static_cast<std::size_t>(n) + 1, 0); // old number -> new number
    bool moved = false;
    for (int i = 0; i < n; ++i) {
        newNumber[static_cast<std::size_t>(slot[static_cast<std::size_t>(i)]) + 1] = i + 1;
        moved = moved || slot[static_cast<std::size_t>(i)] != i;
    }
    if (!moved)
        return;
    const int keys = PrimaryKeyCount(desc);
    for (int k = 1; k <= keys; ++k)
        if (newNumber[static_cast<std::size_t>(k)] > keys) {
            notes.push_back("fields keep the script's order: the recorded positions would change the primary key");
            return;
        }
    const auto renumber = [&](int no) { return no >= 1 && no <= n ? newNumber[static_cast<std::size_t>(no)] : no; };

    std::vector<TvxFieldDesc> list;
    std::vector<TvxFieldOrigin> origins;
    for (int i = 0; i < n; ++i) {
        list.push_back(*desc.GetField(slot[static_cast<std::size_t>(i)]));
        origins.push_back(std::move(fields[static_cast<std::size_t>(slot[static_cast<std::size_t>(i)])]));
    }
    desc.SetFields(std::move(list));
    fields = std::move(origins);
    for (int i = 0; i < desc.IndexCount(); ++i) {
        TvxIndexDesc& x = desc.IndexAt(i);
        for (int k = 0; k < std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields); ++k)
            x.setKeyField(k, renumber(x.keyField(k)));
    }
    std::vector<TvxValCheckDesc> checks = desc.ValChecks();
    for (TvxValCheckDesc& c : checks)
        c.setFieldNumber(renumber(c.fieldNumber()));
    desc.SetValChecks(std::move(checks));
    for (int i = 0; i < desc.RefIntCount(); ++i) {
        TvxRefIntDesc& r = desc.RefIntAt(i);
        for (int k = 0; k < std::min(r.fieldCount(), TvxRefIntDesc::MaxFields); ++k)
            r.setThisField(k, renumber(r.thisField(k)));
    }
}

void TvxTablePlan::DropBrokenRules()
{
    std::vector<TvxRefIntDesc> rules;
    for (int i = 0; i < desc.RefIntCount(); ++i) {
        const TvxRefIntDesc& r = *desc.GetRefInt(i);
        const int n = std::min(r.fieldCount(), TvxRefIntDesc::MaxFields);
        bool complete = n > 0;
        for (int k = 0; k < n; ++k)
            complete = complete && r.thisField(k) > 0 && r.thisField(k) <= desc.FieldCount();
        if (complete)
            rules.push_back(r);
        else
            notes.push_back("rule " + r.name() + " dropped: its fields are not all in the table");
    }
    desc.SetRefInts(std::move(rules));
}

void TvxTablePlan::Finish()
{
    std::vector<TvxFieldDesc> list(desc.Fields().begin(), desc.Fields().begin() + desc.FieldCount());
    int offset = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        TvxFieldDesc& f = list[i];
        f.setFieldNumber(static_cast<int>(i) + 1);
        const int length = FieldLength(f.type(), f.type() == fldBcd ? f.units2() : f.units1());
        if (length > 0)
            f.setLength(length);
        f.setOffset(offset);
        offset += f.length();
    }
    desc.SetFields(std::move(list));
    desc.CursorProps().setRecordSize(offset);
    desc.CursorProps().setRecordBufferSize(offset);

    std::vector<TvxIndexDesc> indexes;
    for (int i = 0; i < desc.IndexCount(); ++i) {
        const TvxIndexDesc& x = *desc.GetIndex(i);
        if (x.keyFieldCount() > 0)
            indexes.push_back(x);
        else if (!x.primary())
            notes.push_back("index " + x.name() + " dropped: none of its fields is left");
    }
    desc.SetIndexes(std::move(indexes));

    DropBrokenRules();

    const int level = WrittenLevel(desc);
    if (origin != Origin::None && desc.TableLevel() >= 3 && level > desc.TableLevel())
        notes.push_back("table level raised from " + std::to_string(desc.TableLevel()) + " to " +
                        std::to_string(level));
    desc.CursorProps().setTableLevel(level);
}

} // namespace morvane
