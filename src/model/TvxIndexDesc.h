#pragma once
// Index descriptor (893 bytes). The primary key has the primary flag set and an empty name.
// Key fields: 16 slots of 1-based field numbers, entries beyond keyFieldCount are 0.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxIndexDesc : public TvxRecordBytes<893>
{
public:
    static constexpr int MaxKeyFields = 16;
    enum Offset : std::size_t {
        oName = 0, oId = 261, oTagName = 263, oFormat = 295, oPrimary = 327, oUnique = 329, oDescending = 331,
        oMaintained = 333, oSubset = 335, oExpression = 337, oCost = 339, oKeyFieldCount = 341, oKeyLength = 343,
        oOutOfDate = 345, oKeyExpType = 347, oKeyFields = 349, oKeyExpression = 381, oKeyCondition = 602,
        oCaseInsensitive = 823, oBlockSize = 825, oRestructureNumber = 827, oDescendingFlags = 829,
        oReserved = 861
    };

    std::string name() const { return text(oName, 261); }
    void setName(std::string_view s) { setText(oName, 261, s); }
    int id() const { return u16(oId); }
    void setId(int n) { setU16(oId, static_cast<std::uint16_t>(n)); }
    std::string tagName() const { return text(oTagName, 32); }
    void setTagName(std::string_view s) { setText(oTagName, 32, s); }
    std::string format() const { return text(oFormat, 32); }
    void setFormat(std::string_view s) { setText(oFormat, 32, s); }
    bool primary() const { return flag(oPrimary); }
    void setPrimary(bool v) { setFlag(oPrimary, v); }
    bool unique() const { return flag(oUnique); }
    void setUnique(bool v) { setFlag(oUnique, v); }
    bool descending() const { return flag(oDescending); }
    void setDescending(bool v) { setFlag(oDescending, v); }
    bool maintained() const { return flag(oMaintained); }
    void setMaintained(bool v) { setFlag(oMaintained, v); }
    bool subset() const { return flag(oSubset); }
    void setSubset(bool v) { setFlag(oSubset, v); }
    bool expression() const { return flag(oExpression); }
    void setExpression(bool v) { setFlag(oExpression, v); }
    int cost() const { return u16(oCost); }
    void setCost(int n) { setU16(oCost, static_cast<std::uint16_t>(n)); }
    int keyFieldCount() const { return u16(oKeyFieldCount); }
    void setKeyFieldCount(int n) { setU16(oKeyFieldCount, static_cast<std::uint16_t>(n)); }
    int keyLength() const { return u16(oKeyLength); }
    void setKeyLength(int n) { setU16(oKeyLength, static_cast<std::uint16_t>(n)); }
    bool outOfDate() const { return flag(oOutOfDate); }
    void setOutOfDate(bool v) { setFlag(oOutOfDate, v); }
    int keyExpType() const { return u16(oKeyExpType); }
    void setKeyExpType(int n) { setU16(oKeyExpType, static_cast<std::uint16_t>(n)); }
    // i in [0, 16)
    int keyField(int i) const { return u16(oKeyFields + 2 * static_cast<std::size_t>(i)); }
    void setKeyField(int i, int fieldNo)
    {
        setU16(oKeyFields + 2 * static_cast<std::size_t>(i), static_cast<std::uint16_t>(fieldNo));
    }
    std::string keyExpression() const { return text(oKeyExpression, 221); }
    void setKeyExpression(std::string_view s) { setText(oKeyExpression, 221, s); }
    std::string keyCondition() const { return text(oKeyCondition, 221); }
    void setKeyCondition(std::string_view s) { setText(oKeyCondition, 221, s); }
    bool caseInsensitive() const { return flag(oCaseInsensitive); }
    void setCaseInsensitive(bool v) { setFlag(oCaseInsensitive, v); }
    int blockSize() const { return u16(oBlockSize); }
    void setBlockSize(int n) { setU16(oBlockSize, static_cast<std::uint16_t>(n)); }
    int restructureNumber() const { return u16(oRestructureNumber); }
    void setRestructureNumber(int n) { setU16(oRestructureNumber, static_cast<std::uint16_t>(n)); }
    bool descendingField(int i) const { return flag(oDescendingFlags + 2 * static_cast<std::size_t>(i)); }
    void setDescendingField(int i, bool v) { setFlag(oDescendingFlags + 2 * static_cast<std::size_t>(i), v); }
};
static_assert(sizeof(TvxIndexDesc) == 893);

} // namespace morvane
