#pragma once
// Validity check (1219 bytes): required flag, minimum, maximum and default value areas of 256
// bytes each holding the field type's binary value, and the picture text.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxValCheckDesc : public TvxRecordBytes<1219>
{
public:
    static constexpr std::size_t AreaSize = 256;
    enum Offset : std::size_t {
        oFieldNumber = 0, oRequired = 2, oHasMinimum = 4, oHasMaximum = 6, oHasDefault = 8, oMinimum = 10,
        oMaximum = 266, oDefault = 522, oPicture = 778, oLookup = 954
    };

    int fieldNumber() const { return u16(oFieldNumber); }
    void setFieldNumber(int n) { setU16(oFieldNumber, static_cast<std::uint16_t>(n)); }
    bool required() const { return flag(oRequired); }
    void setRequired(bool v) { setFlag(oRequired, v); }
    bool hasMinimum() const { return flag(oHasMinimum); }
    void setHasMinimum(bool v) { setFlag(oHasMinimum, v); }
    bool hasMaximum() const { return flag(oHasMaximum); }
    void setHasMaximum(bool v) { setFlag(oHasMaximum, v); }
    bool hasDefault() const { return flag(oHasDefault); }
    void setHasDefault(bool v) { setFlag(oHasDefault, v); }
    std::uint8_t* minimum() { return data() + oMinimum; }
    const std::uint8_t* minimum() const { return data() + oMinimum; }
    std::uint8_t* maximum() { return data() + oMaximum; }
    const std::uint8_t* maximum() const { return data() + oMaximum; }
    std::uint8_t* defaultValue() { return data() + oDefault; }
    const std::uint8_t* defaultValue() const { return data() + oDefault; }
    std::string picture() const { return text(oPicture, 176); }
    void setPicture(std::string_view s) { setText(oPicture, 176, s); }
};
static_assert(sizeof(TvxValCheckDesc) == 1219);

} // namespace morvane
