#pragma once
// Table-list record (574 bytes): one entry of the engine's table list (name, file, date, size).

#include "model/TvxRecordBytes.h"

namespace morvane {

class TvxTableListRec : public TvxRecordBytes<574>
{
public:
    enum Offset : std::size_t {
        oTableName = 0, oFileName = 261, oExtension = 522, oTableType = 526, oFileDate = 558, oFileTime = 562,
        oSize = 566, oView = 570, oSynonym = 572
    };

    std::string tableName() const { return text(oTableName, 261); }
    void setTableName(std::string_view s) { setText(oTableName, 261, s); }
    std::string fileName() const { return text(oFileName, 261); }
    void setFileName(std::string_view s) { setText(oFileName, 261, s); }
    std::string extension() const { return text(oExtension, 4); }
    void setExtension(std::string_view s) { setText(oExtension, 4, s); }
    std::string tableType() const { return text(oTableType, 32); }
    void setTableType(std::string_view s) { setText(oTableType, 32, s); }
    // Engine date: days since 1 January of year 1 (that day is 1).
    std::int32_t fileDate() const { return i32(oFileDate); }
    void setFileDate(std::int32_t v) { setI32(oFileDate, v); }
    // Engine time: milliseconds since midnight.
    std::int32_t fileTime() const { return i32(oFileTime); }
    void setFileTime(std::int32_t v) { setI32(oFileTime, v); }
    std::int32_t size() const { return i32(oSize); }
    void setSize(std::int32_t v) { setI32(oSize, v); }
    bool isView() const { return flag(oView); }
    void setView(bool v) { setFlag(oView, v); }
    bool isSynonym() const { return flag(oSynonym); }
    void setSynonym(bool v) { setFlag(oSynonym, v); }
};
static_assert(sizeof(TvxTableListRec) == 574);

} // namespace morvane
