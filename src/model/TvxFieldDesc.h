#pragma once
// Field descriptor (62 bytes). Field numbers are 1-based; type is a physical type code 257-273.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxFieldDesc : public TvxRecordBytes<62>
{
public:
    enum Offset : std::size_t {
        oFieldNumber = 0, oName = 2, oType = 34, oSubType = 36, oUnits1 = 38, oUnits2 = 40, oOffset = 42,
        oLength = 44, oNullOffset = 46, oValCheckKind = 48, oRights = 52, oCalculated = 56, oReserved = 58
    };

    int fieldNumber() const { return u16(oFieldNumber); }
    void setFieldNumber(int n) { setU16(oFieldNumber, static_cast<std::uint16_t>(n)); }
    std::string name() const { return text(oName, 32); }
    void setName(std::string_view s) { setText(oName, 32, s); }
    int type() const { return u16(oType); }
    void setType(int t) { setU16(oType, static_cast<std::uint16_t>(t)); }
    int subType() const { return u16(oSubType); }
    void setSubType(int t) { setU16(oSubType, static_cast<std::uint16_t>(t)); }
    int units1() const { return i16(oUnits1); }
    void setUnits1(int n) { setI16(oUnits1, static_cast<std::int16_t>(n)); }
    int units2() const { return i16(oUnits2); }
    void setUnits2(int n) { setI16(oUnits2, static_cast<std::int16_t>(n)); }
    int offset() const { return u16(oOffset); }
    void setOffset(int n) { setU16(oOffset, static_cast<std::uint16_t>(n)); }
    int length() const { return u16(oLength); }
    void setLength(int n) { setU16(oLength, static_cast<std::uint16_t>(n)); }
    int nullOffset() const { return u16(oNullOffset); }
    void setNullOffset(int n) { setU16(oNullOffset, static_cast<std::uint16_t>(n)); }
    std::int32_t valCheckKind() const { return i32(oValCheckKind); }
    void setValCheckKind(std::int32_t v) { setI32(oValCheckKind, v); }
    std::int32_t rights() const { return i32(oRights); }
    void setRights(std::int32_t v) { setI32(oRights, v); }
    bool calculated() const { return flag(oCalculated); }
    void setCalculated(bool v) { setFlag(oCalculated, v); }
};
static_assert(sizeof(TvxFieldDesc) == 62);

} // namespace morvane
