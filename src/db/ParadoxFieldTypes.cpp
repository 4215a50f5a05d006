#include "db/ParadoxFieldTypes.h"

#include "model/vxFieldTypes.h"

namespace morvane {

namespace {

// Logical types and subtypes as the engine classifies the physical ones.
enum : int {
    logZString = 1, logDate = 2, logBlob = 3, logBool = 4, logInt16 = 5, logInt32 = 6, logFloat = 7, logBcd = 8,
    logBytes = 9, logTime = 10, logTimestamp = 11
};
enum : int {
    subMoney = 21, subMemo = 22, subBinary = 23, subFmtMemo = 24, subOle = 25, subGraphic = 26, subAutoInc = 29
};

struct TypeRow
{
    int code;
    const char* name;
    const char* description;
    int logicalType;
    int subType;
    int minUnits1;
    int maxUnits1;
    int minUnits2;
    int maxUnits2;
};

constexpr TypeRow rows[] = {
    {fldAlpha, "ALPHA", "Alpha", logZString, 0, 1, 255, 0, 0},
    {fldNumber, "NUMBER", "Number", logFloat, 0, 0, 0, 0, 0},
    {fldMoney, "MONEY", "Money", logFloat, subMoney, 0, 0, 0, 0},
    {fldDate, "DATE", "Date", logDate, 0, 0, 0, 0, 0},
    {fldShort, "SHORT", "Short", logInt16, 0, 0, 0, 0, 0},
    {fldMemo, "MEMO", "Memo", logBlob, subMemo, 1, 240, 0, 0},
    {fldBinary, "BINARY", "Binary", logBlob, subBinary, 0, 240, 0, 0},
    {fldFmtMemo, "FMTMEMO", "Formatted memo", logBlob, subFmtMemo, 0, 240, 0, 0},
    {fldOle, "OLE", "OLE", logBlob, subOle, 0, 240, 0, 0},
    {fldGraphic, "GRAPHIC", "Graphic", logBlob, subGraphic, 0, 240, 0, 0},
    {fldLong, "LONG", "Long integer", logInt32, 0, 0, 0, 0, 0},
    {fldTime, "TIME", "Time", logTime, 0, 0, 0, 0, 0},
    {fldTimestamp, "TIMESTAMP", "Timestamp", logTimestamp, 0, 0, 0, 0, 0},
    {fldLogical, "LOGICAL", "Logical", logBool, 0, 0, 0, 0, 0},
    {fldAutoInc, "AUTOINC", "Autoincrement", logInt32, subAutoInc, 0, 0, 0, 0},
    {fldBytes, "BYTES", "Bytes", logBytes, 0, 1, 255, 0, 0},
    {fldBcd, "BCD", "BCD", logBcd, 0, 32, 32, 0, 32},
};

} // namespace

std::vector<TvxFieldTypeRec> ParadoxFieldTypes()
{
    std::vector<TvxFieldTypeRec> out;
    int id = 1;
    for (const auto& r : rows) {
        TvxFieldTypeRec rec;
        rec.setId(id++);
        rec.setName(r.name);
        rec.setDescription(r.description);
        rec.setTypeCode(r.code);
        rec.setU16(TvxFieldTypeRec::oSubType, static_cast<std::uint16_t>(r.subType));
        rec.setU16(TvxFieldTypeRec::oLogicalType, static_cast<std::uint16_t>(r.logicalType));
        rec.setMinUnits1(r.minUnits1);
        rec.setMaxUnits1(r.maxUnits1);
        rec.setMinUnits2(r.minUnits2);
        rec.setMaxUnits2(r.maxUnits2);
        out.push_back(rec);
    }
    return out;
}

} // namespace morvane
