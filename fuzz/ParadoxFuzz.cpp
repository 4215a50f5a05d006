// Fuzz target of the Paradox header readers: the input is taken as a table header, as a
// secondary index file and as a validity file of a fixed three-field keyed table. Any
// failure must be an EvxEngineError; crashes, hangs and huge allocations are findings.

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxIndexFile.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxValFile.h"

#include <cstddef>
#include <cstdint>

namespace {

// A level 5 table of three Long fields "C", "A", "B" keyed on the first (the shape of the
// pd-joins sample C.DB, whose .X02/.X03/.VAL files are in the seed corpus).
morvane::ParadoxTableHeader fixedTable()
{
    morvane::ParadoxTableHeader t;
    t.fileType = 0;
    t.fileVersionId = 11;
    t.hasDataHeader = true;
    t.numFields = 3;
    t.primaryKeyFields = 1;
    t.recordSize = 12;
    t.blockSizeKb = 2;
    t.changeCount2 = 2;
    const char* names[] = {"C", "A", "B"};
    for (int i = 0; i < 3; ++i) {
        morvane::ParadoxField f;
        f.type = morvane::pxLong;
        f.size = 4;
        f.name = names[i];
        f.id = static_cast<std::uint16_t>(i + 1);
        t.fields.push_back(f);
    }
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const morvane::ParadoxTableHeader table = fixedTable();
    try {
        const morvane::ParadoxTableHeader h = morvane::ParseParadoxHeader(data, size, size, "fuzz.db");
        if (h.isTable())
            (void)morvane::ParseParadoxValFile(data, size, h, "fuzz.val");
    } catch (const morvane::EvxEngineError&) {
    }
    try {
        (void)morvane::ParseParadoxSecondaryIndex(data, size, size, table, "XG0", "fuzz.xg0");
    } catch (const morvane::EvxEngineError&) {
    }
    try {
        (void)morvane::ParseParadoxValFile(data, size, table, "fuzz.val");
    } catch (const morvane::EvxEngineError&) {
    }
    return 0;
}
