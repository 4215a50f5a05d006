#include "server/TvxRecordConverter.h"

#include <algorithm>

#include "db/paradox/ParadoxCollation.h"
#include "model/vxCodePage.h"
#include "model/vxFieldTypes.h"
#include "server/vxCheckValues.h"
#include "server/vxPicture.h"

namespace morvane {

namespace {

constexpr std::int64_t ProgressEvery = 4096;

bool SameChain(const std::vector<TvxFieldShape>& chain)
{
    for (std::size_t i = 1; i < chain.size(); ++i)
        if (!(chain[i] == chain[0]))
            return false;
    return true;
}

bool SameArea(const std::uint8_t* a, const std::uint8_t* b)
{
    return std::equal(a, a + TvxValCheckDesc::AreaSize, b);
}

std::string ShownText(const TvxFieldValue& v, const TvxFieldShape& shape)
{
    if (v.isBlank())
        return {};
    switch (shape.type) {
    case fldBinary:
    case fldOle:
    case fldGraphic:
    case fldBytes:
    case fldFmtMemo: return "(" + std::to_string(v.text().size()) + " bytes)";
    default: return CodePageToUtf8(ValueText(v, shape), shape.codePage);
    }
}

} // namespace

std::vector<int> TvxRecordConverter::PrimaryKeyPositions(const TvxTableDesc& desc)
{
    std::vector<int> positions;
    for (int i = 0; i < desc.IndexCount(); ++i) {
        const TvxIndexDesc& x = *desc.GetIndex(i);
        if (!x.primary())
            continue;
        for (int k = 0; k < std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields); ++k)
            if (x.keyField(k) >= 1 && x.keyField(k) <= desc.FieldCount())
                positions.push_back(x.keyField(k) - 1);
    }
    return positions;
}

TvxRecordConverter::TvxRecordConverter(const TvxTablePlan& plan, IvxRecordSource& origin,
                                       TvxTableUpdateReport& report)
    : plan_(plan), origin_(origin), report_(report)
{
    const std::size_t n = plan.fields.size();
    constants_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const TvxFieldOrigin& o = plan.fields[i];
        // A cut new value is noted when the plan is made; an autoincrement field's new value
        // is where its numbering starts, not a value for every record.
        if (o.kind == TvxFieldOrigin::Kind::Constant && plan.desc.GetField(static_cast<int>(i))->type() != fldAutoInc)
            Carry(o.constant, o, constants_[i]);
    }
    primary_ = PrimaryKeyPositions(plan.desc);
    const std::vector<int> originKey = PrimaryKeyPositions(plan.originDesc);
    primaryUnique_ = plan.origin != TvxTablePlan::Origin::None && !primary_.empty() && originKey.size() == primary_.size();
    for (std::size_t k = 0; k < primary_.size() && primaryUnique_; ++k) {
        const TvxFieldOrigin& o = plan.fields[static_cast<std::size_t>(primary_[k])];
        primaryUnique_ = o.kind == TvxFieldOrigin::Kind::Record && o.index == originKey[k] && SameChain(o.chain);
    }
    for (int i = 0; i < plan.desc.IndexCount(); ++i) {
        const TvxIndexDesc& x = *plan.desc.GetIndex(i);
        if (x.primary() || !x.unique())
            continue;
        UniqueIndex u;
        u.name = x.name();
        u.upper = x.caseInsensitive() ? ParadoxCollation::ForDriver(plan.desc.LanguageDriver()).upperMap() : nullptr;
        for (int k = 0; k < std::min(x.keyFieldCount(), TvxIndexDesc::MaxKeyFields); ++k)
            if (x.keyField(k) >= 1 && x.keyField(k) <= plan.desc.FieldCount())
                u.positions.push_back(x.keyField(k) - 1);
        if (!u.positions.empty())
            unique_.push_back(std::move(u));
    }
    PrepareChecks();
}

void TvxRecordConverter::PrepareChecks()
{
    for (const TvxValCheckDesc& c : plan_.desc.ValChecks()) {
        const int pos = c.fieldNumber() - 1;
        if (pos < 0 || pos >= plan_.desc.FieldCount())
            continue;
        const TvxFieldDesc& field = *plan_.desc.GetField(pos);
        const TvxFieldOrigin& o = plan_.fields[static_cast<std::size_t>(pos)];
        // What the records already kept stays unchecked: the same check on an unchanged field.
        const TvxValCheckDesc* old = nullptr;
        if (o.kind == TvxFieldOrigin::Kind::Record && SameChain(o.chain))
            old = plan_.originDesc.FindValCheck(o.index + 1);
        Check k;
        k.pos = pos;
        k.required = c.required() && !(old && old->required());
        const int decimals = field.type() == fldBcd ? field.units2() : 0;
        if (field.type() != fldAutoInc) {
            if (c.hasMinimum() && !(old && old->hasMinimum() && SameArea(old->minimum(), c.minimum())))
                k.hasMinimum = AreaToValue(c.minimum(), field.type(), decimals, k.minimum) == TvxAreaValue::Value;
            if (c.hasMaximum() && !(old && old->hasMaximum() && SameArea(old->maximum(), c.maximum())))
                k.hasMaximum = AreaToValue(c.maximum(), field.type(), decimals, k.maximum) == TvxAreaValue::Value;
        }
        // A picture is about how values are typed: held against existing values only when it
        // is new (not when the field's type or size changed under an old picture).
        const TvxValCheckDesc* before =
            o.kind == TvxFieldOrigin::Kind::Record ? plan_.originDesc.FindValCheck(o.index + 1) : nullptr;
        if (!c.picture().empty() && !(before && before->picture() == c.picture()))
            k.picture = c.picture();
        if (k.required || k.hasMinimum || k.hasMaximum || !k.picture.empty())
            checks_.push_back(std::move(k));
    }
}

void TvxRecordConverter::SetMoves(std::vector<TvxMoveValues> moves, std::vector<int> keyPositions)
{
    moves_ = std::move(moves);
    moveKey_ = std::move(keyPositions);
}

void TvxRecordConverter::ExpectRecords(std::int64_t count)
{
    const auto n = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, 1 << 24));
    if (!primaryUnique_ && !primary_.empty())
        primaryKeys_.reserve(n);
    if (keptKeys_)
        keptKeys_->reserve(n);
}

void TvxRecordConverter::SetAutoIncStart(int pos, std::int64_t next)
{
    autoInc_.emplace_back(pos, next);
}

std::string TvxRecordConverter::FieldName(int pos) const
{
    return CodePageToUtf8(plan_.desc.GetField(pos)->name(), plan_.CodePage());
}

TvxConvert TvxRecordConverter::Carry(const TvxFieldValue& value, const TvxFieldOrigin& origin,
                                     TvxFieldValue& out) const
{
    if (origin.chain.size() < 2) {
        out = value;
        return TvxConvert::Exact;
    }
    if (origin.chain.size() == 2)
        return ConvertValue(value, origin.chain[0], origin.chain[1], out);
    TvxConvert result = TvxConvert::Exact;
    TvxFieldValue current = value;
    for (std::size_t i = 1; i < origin.chain.size(); ++i) {
        result = Worse(result, ConvertValue(current, origin.chain[i - 1], origin.chain[i], out));
        current = out;
    }
    return result;
}

void TvxRecordConverter::NoteCut(int pos, const TvxFieldValue& original, const TvxFieldShape& from,
                                 const TvxFieldValue& stored)
{
    if (report_.cutExamples.size() >= TvxTableUpdateReport::MaxExamples) {
        ++report_.valuesCut;
        return;
    }
    report_.AddCut({FieldName(pos), ShownText(original, from),
                    ShownText(stored, plan_.fields[static_cast<std::size_t>(pos)].chain.back())});
}

bool TvxRecordConverter::Next(TvxRecord& record)
{
    while (origin_.Next(in_)) {
        ++report_.recordsRead;
        if (onRead_ && report_.recordsRead % ProgressEvery == 0)
            onRead_(report_.recordsRead);
        if (Convert(in_, record))
            return true;
    }
    if (onRead_)
        onRead_(report_.recordsRead);
    return false;
}

bool TvxRecordConverter::Convert(const TvxRecord& in, TvxRecord& out)
{
    const std::size_t n = plan_.fields.size();
    out.resize(n);
    bool cut = false;
    bool moved = false;
    static const TvxFieldValue blank;
    for (std::size_t i = 0; i < n; ++i) {
        const TvxFieldOrigin& o = plan_.fields[i];
        switch (o.kind) {
        case TvxFieldOrigin::Kind::Blank: out[i].setBlank(); break;
        case TvxFieldOrigin::Kind::Constant: out[i] = constants_[i]; break;
        case TvxFieldOrigin::Kind::Moved: moved = true; break;
        case TvxFieldOrigin::Kind::Record: {
            const TvxFieldValue& v = o.index >= 0 && static_cast<std::size_t>(o.index) < in.size()
                                         ? in[static_cast<std::size_t>(o.index)]
                                         : blank;
            if (Carry(v, o, out[i]) != TvxConvert::Exact) {
                cut = true;
                NoteCut(static_cast<int>(i), v, o.chain.front(), out[i]);
            }
            break;
        }
        }
    }
    if (moved) {
        const bool keyed = !moveKey_.empty() && RecordKey(out, moveKey_, nullptr, true, key_);
        for (std::size_t i = 0; i < n; ++i) {
            const TvxFieldOrigin& o = plan_.fields[i];
            if (o.kind != TvxFieldOrigin::Kind::Moved)
                continue;
            out[i].setBlank();
            const TvxMoveValues* values =
                o.move >= 0 && static_cast<std::size_t>(o.move) < moves_.size() ? &moves_[o.move] : nullptr;
            const auto it = keyed && values ? values->find(key_) : TvxMoveValues::const_iterator();
            if (!keyed || !values || it == values->end()) {
                ++unmatched_;
                continue;
            }
            if (Carry(it->second, o, out[i]) != TvxConvert::Exact) {
                cut = true;
                NoteCut(static_cast<int>(i), it->second, o.chain.front(), out[i]);
            }
        }
    }
    for (auto& [pos, next] : autoInc_)
        if (out[static_cast<std::size_t>(pos)].isBlank())
            out[static_cast<std::size_t>(pos)] = TvxFieldValue::Integer(next++);

    bool breaksCheck = false;
    for (const Check& c : checks_) {
        const TvxFieldValue& v = out[static_cast<std::size_t>(c.pos)];
        const int type = plan_.desc.GetField(c.pos)->type();
        const char* broken = nullptr;
        if (v.isBlank())
            broken = c.required ? "required" : nullptr;
        else if (c.hasMinimum && CompareValues(v, c.minimum, type) < 0)
            broken = "minimum";
        else if (c.hasMaximum && CompareValues(v, c.maximum, type) > 0)
            broken = "maximum";
        else if (!c.picture.empty() &&
                 MatchPicture(c.picture, v.kind() == TvxFieldValue::Kind::Bytes
                                             ? v.text()
                                             : ValueText(v, plan_.fields[static_cast<std::size_t>(c.pos)].chain.back())) ==
                     TvxPictureMatch::Breaks)
            broken = "picture";
        if (broken) {
            report_.AddBreak(FieldName(c.pos), broken);
            breaksCheck = true;
        }
    }
    if (breaksCheck) {
        problems_.Add(in);
        ++report_.problemRecords;
        return false;
    }

    bool keyViolation = false;
    for (const TvxRuleCheck& r : rules_) {
        if (!r.masterKeys || !RecordKey(out, r.positions, nullptr, false, key_))
            continue; // blank foreign keys are allowed
        if (!r.masterKeys->contains(key_)) {
            report_.AddBreak(FieldName(r.positions.front()), "rule " + r.name);
            keyViolation = true;
        }
    }
    std::string primaryKey;
    const bool primaryNeeded = !primary_.empty() && (!primaryUnique_ || keptKeys_);
    if (!keyViolation && primaryNeeded) {
        RecordKey(out, primary_, nullptr, true, primaryKey);
        if (!primaryUnique_ && primaryKeys_.contains(primaryKey)) {
            report_.AddBreak(FieldName(primary_.front()), "primary key");
            keyViolation = true;
        }
    }
    for (UniqueIndex& u : unique_) {
        if (keyViolation)
            break;
        RecordKey(out, u.positions, u.upper, true, key_);
        if (u.keys.contains(key_)) {
            report_.AddBreak(FieldName(u.positions.front()), "unique index " + u.name);
            keyViolation = true;
        }
    }
    if (keyViolation) {
        keyViolations_.Add(in);
        ++report_.keyViolations;
        return false;
    }
    for (UniqueIndex& u : unique_) {
        RecordKey(out, u.positions, u.upper, true, key_);
        u.keys.insert(key_);
    }
    if (primaryNeeded) {
        if (keptKeys_)
            keptKeys_->insert(primaryKey);
        if (!primaryUnique_)
            primaryKeys_.insert(std::move(primaryKey));
    }
    if (cut) {
        problems_.Add(in);
        ++report_.problemRecords;
    }
    ++report_.recordsCarried;
    return true;
}

} // namespace morvane
