#pragma once
// Field-type record (164 bytes): one entry of the driver's list of Paradox field types.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxFieldTypeRec : public TvxRecordBytes<164>
{
public:
    enum Offset : std::size_t {
        oId = 0, oName = 2, oDescription = 34, oTypeCode = 66, oSubType = 68, oLogicalType = 70,
        oMaxUnits1 = 72, oMaxUnits2 = 74, oMinUnits1 = 94, oMinUnits2 = 96
    };

    int id() const { return u16(oId); }
    void setId(int n) { setU16(oId, static_cast<std::uint16_t>(n)); }
    std::string name() const { return text(oName, 32); }
    void setName(std::string_view s) { setText(oName, 32, s); }
    std::string description() const { return text(oDescription, 32); }
    void setDescription(std::string_view s) { setText(oDescription, 32, s); }
    int typeCode() const { return u16(oTypeCode); }
    void setTypeCode(int n) { setU16(oTypeCode, static_cast<std::uint16_t>(n)); }
    int maxUnits1() const { return i16(oMaxUnits1); }
    void setMaxUnits1(int n) { setI16(oMaxUnits1, static_cast<std::int16_t>(n)); }
    int maxUnits2() const { return i16(oMaxUnits2); }
    void setMaxUnits2(int n) { setI16(oMaxUnits2, static_cast<std::int16_t>(n)); }
    int minUnits1() const { return i16(oMinUnits1); }
    void setMinUnits1(int n) { setI16(oMinUnits1, static_cast<std::int16_t>(n)); }
    int minUnits2() const { return i16(oMinUnits2); }
    void setMinUnits2(int n) { setI16(oMinUnits2, static_cast<std::int16_t>(n)); }
};
static_assert(sizeof(TvxFieldTypeRec) == 164);

} // namespace morvane
