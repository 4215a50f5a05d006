// Fuzz target of the Paradox readers: the input is taken as a table header, as a secondary
// index file and as a validity file of a fixed three-field keyed table, and what parses is
// turned into the engine records; then as a whole table whose records are read (the same
// bytes serving as its .MB file, decrypted with the key its header names); then as every file
// of a family, through the family checker. Any failure must be an EvxEngineError; crashes,
// hangs and huge allocations are findings.

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxIndexFile.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/paradox/ParadoxTable.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxTableRecords.h"
#include "db/paradox/ParadoxValFile.h"

#include <cstddef>
#include <cstdint>

namespace {

// A level 5 table of three Long fields "C", "A", "B" keyed on the first (the shape of the
// pd-joins sample C.DB, whose .X02/.X03/.VAL files are in the seed corpus).
morvane::ParadoxTableHeader fixedTable()
{
    morvane::ParadoxTableHeader t;
    t.fileType = morvane::ParadoxFileType::KeyedTable;
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

// Every record a connect fills from a table.
void fillRecords(const morvane::ParadoxTable& t)
{
    (void)morvane::ParadoxCursorProps(t, "fuzz.db");
    (void)morvane::ParadoxFieldDescs(t);
    (void)morvane::ParadoxIndexDescs(t);
    (void)morvane::ParadoxRefIntDescs(t);
    (void)morvane::ParadoxValCheckDescs(t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const morvane::ParadoxTableHeader table = fixedTable();
    try {
        morvane::ParadoxTable t{morvane::ParseParadoxHeader(data, size, size, "fuzz.db"), {}, {}, {}};
        fillRecords(t);
        if (t.header.isTable()) {
            t.val = morvane::ParseParadoxValFile(data, size, t.header, "fuzz.val");
            fillRecords(t);
        }
    } catch (const morvane::EvxEngineError&) {
    }
    try {
        morvane::ParadoxTable t{table, {}, {}, {}};
        t.secondaryIndexes.push_back(morvane::ParseParadoxSecondaryIndex(data, size, size, table, "XG0", "fuzz.xg0"));
        fillRecords(t);
    } catch (const morvane::EvxEngineError&) {
    }
    try {
        morvane::ParadoxTable t{table, {}, {}, morvane::ParseParadoxValFile(data, size, table, "fuzz.val")};
        fillRecords(t);
    } catch (const morvane::EvxEngineError&) {
    }
    // Records of inputs up to 256 KiB (libFuzzer's inputs stay far below; the standalone
    // driver's mutations of the large seed tables would spend minutes re-reading their records).
    if (size > 256 * 1024)
        return 0;
    try {
        // The header's own key, as if its password had been given.
        const morvane::ParadoxTableHeader h = morvane::ParseParadoxHeader(data, size, size, "fuzz.db");
        morvane::ParadoxRecordReader reader(std::make_unique<morvane::ParadoxMemorySource>(data, size, "fuzz.db"),
                                            std::make_unique<morvane::ParadoxMemorySource>(data, size, "fuzz.mb"),
                                            h.passwordKey());
        morvane::TvxRecord record;
        for (;;) {
            try {
                if (!reader.Next(record))
                    break;
            } catch (const morvane::EvxEngineError&) {
                if (!reader.Resumable())
                    break;
            }
        }
    } catch (const morvane::EvxEngineError&) {
    }
    // The input as every file of a family at once, through the family checker (which reports,
    // never throws).
    morvane::ParadoxFamilyFiles family;
    family.names = {"F.DB", "F.PX", "F.X02", "F.Y02", "F.VAL", "F.MB"};
    family.open = [&](const std::string& name) {
        return std::make_unique<morvane::ParadoxMemorySource>(data, size, name);
    };
    (void)morvane::ParadoxCheckFamily(family, "F.DB");
    return 0;
}
