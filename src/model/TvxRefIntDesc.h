#pragma once
// Referential-integrity descriptor (373 bytes). Kind 0 = master side, 1 = dependent side.
// Update/delete rule 0 = prohibit, 1 = cascade. 16 field slots on each side, 0 = not chosen.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxRefIntDesc : public TvxRecordBytes<373>
{
public:
    static constexpr int MaxFields = 16;
    enum Kind : std::int32_t { Master = 0, Dependent = 1 };
    enum Rule : std::int32_t { Prohibit = 0, Cascade = 1 };
    enum Offset : std::size_t {
        oRuleNumber = 0, oName = 2, oKind = 34, oOtherTable = 38, oUpdateRule = 299, oDeleteRule = 303,
        oFieldCount = 307, oThisFields = 309, oOtherFields = 341
    };

    int ruleNumber() const { return u16(oRuleNumber); }
    void setRuleNumber(int n) { setU16(oRuleNumber, static_cast<std::uint16_t>(n)); }
    std::string name() const { return text(oName, 32); }
    void setName(std::string_view s) { setText(oName, 32, s); }
    std::int32_t kind() const { return i32(oKind); }
    void setKind(std::int32_t k) { setI32(oKind, k); }
    std::string otherTable() const { return text(oOtherTable, 261); }
    void setOtherTable(std::string_view s) { setText(oOtherTable, 261, s); }
    std::int32_t updateRule() const { return i32(oUpdateRule); }
    void setUpdateRule(std::int32_t r) { setI32(oUpdateRule, r); }
    std::int32_t deleteRule() const { return i32(oDeleteRule); }
    void setDeleteRule(std::int32_t r) { setI32(oDeleteRule, r); }
    int fieldCount() const { return u16(oFieldCount); }
    void setFieldCount(int n) { setU16(oFieldCount, static_cast<std::uint16_t>(n)); }
    // i in [0, 16)
    int thisField(int i) const { return u16(oThisFields + 2 * static_cast<std::size_t>(i)); }
    void setThisField(int i, int fieldNo)
    {
        setU16(oThisFields + 2 * static_cast<std::size_t>(i), static_cast<std::uint16_t>(fieldNo));
    }
    int otherField(int i) const { return u16(oOtherFields + 2 * static_cast<std::size_t>(i)); }
    void setOtherField(int i, int fieldNo)
    {
        setU16(oOtherFields + 2 * static_cast<std::size_t>(i), static_cast<std::uint16_t>(fieldNo));
    }
};
static_assert(sizeof(TvxRefIntDesc) == 373);

} // namespace morvane
