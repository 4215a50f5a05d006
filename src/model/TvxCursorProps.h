#pragma once
// Cursor-properties record (427 bytes): a table's properties as the engine reports them.
// Holds the descriptor's field, index, validity-check and rule counts. Never written to files.

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxCursorProps : public TvxRecordBytes<427>
{
public:
    enum Offset : std::size_t {
        oTableName = 0, oTableType = 263, oFieldCount = 295, oRecordSize = 297, oRecordBufferSize = 299,
        oIndexCount = 303, oValCheckCount = 305, oRefIntCount = 307, oRestructureVersion = 335,
        oCodePage = 347, oProtected = 349, oTableLevel = 351, oLanguageDriver = 353, oBlockSizeKb = 387,
        oStrictRefInt = 389
    };

    std::string tableName() const { return text(oTableName, 261); }
    void setTableName(std::string_view s) { setText(oTableName, 261, s); }
    std::string tableType() const { return text(oTableType, 32); }
    void setTableType(std::string_view s) { setText(oTableType, 32, s); }
    int fieldCount() const { return u16(oFieldCount); }
    void setFieldCount(int n) { setU16(oFieldCount, static_cast<std::uint16_t>(n)); }
    int recordSize() const { return u16(oRecordSize); }
    void setRecordSize(int n) { setU16(oRecordSize, static_cast<std::uint16_t>(n)); }
    int recordBufferSize() const { return u16(oRecordBufferSize); }
    void setRecordBufferSize(int n) { setU16(oRecordBufferSize, static_cast<std::uint16_t>(n)); }
    int indexCount() const { return u16(oIndexCount); }
    void setIndexCount(int n) { setU16(oIndexCount, static_cast<std::uint16_t>(n)); }
    int valCheckCount() const { return u16(oValCheckCount); }
    void setValCheckCount(int n) { setU16(oValCheckCount, static_cast<std::uint16_t>(n)); }
    int refIntCount() const { return u16(oRefIntCount); }
    void setRefIntCount(int n) { setU16(oRefIntCount, static_cast<std::uint16_t>(n)); }
    int restructureVersion() const { return u16(oRestructureVersion); }
    void setRestructureVersion(int n) { setU16(oRestructureVersion, static_cast<std::uint16_t>(n)); }
    int codePage() const { return u16(oCodePage); }
    void setCodePage(int n) { setU16(oCodePage, static_cast<std::uint16_t>(n)); }
    bool isProtected() const { return flag(oProtected); }
    void setProtected(bool v) { setFlag(oProtected, v); }
    int tableLevel() const { return u16(oTableLevel); }
    void setTableLevel(int n) { setU16(oTableLevel, static_cast<std::uint16_t>(n)); }
    std::string languageDriver() const { return text(oLanguageDriver, 32); }
    void setLanguageDriver(std::string_view s) { setText(oLanguageDriver, 32, s); }
    int blockSizeKb() const { return u16(oBlockSizeKb); }
    void setBlockSizeKb(int n) { setU16(oBlockSizeKb, static_cast<std::uint16_t>(n)); }
    bool strictRefInt() const { return flag(oStrictRefInt); }
    void setStrictRefInt(bool v) { setFlag(oStrictRefInt, v); }
};
static_assert(sizeof(TvxCursorProps) == 427);

} // namespace morvane
