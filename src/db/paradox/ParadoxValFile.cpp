#include "db/paradox/ParadoxValFile.h"

#include "db/paradox/ParadoxBytes.h"
#include "db/paradox/ParadoxLayout.h"

#include <algorithm>

namespace morvane {

namespace {

using namespace ParadoxValLayout;

// what: makes the name of the list for a message (only called on failure).
template <class What>
std::vector<int> readPositions(const ParadoxBytes& b, std::size_t off, int count, int limit, const What& what)
{
    b.require(count >= 1 && count <= MaxRuleFields, [&] {
        return what() + ": " + std::to_string(count) + " fields (1-" + std::to_string(MaxRuleFields) + ")";
    });
    std::vector<int> out;
    out.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int pos = b.u16(off + 2 * static_cast<std::size_t>(i));
        b.require(pos >= 1 && pos <= limit, [&] { return what() + ": field " + std::to_string(pos) + " out of range (1-" +
                                                std::to_string(limit) + ")"; });
        out.push_back(pos);
    }
    return out;
}

// How many records of recordBytes fit in the file from off: what a count read from the file
// may reserve before its records are read (and checked) one by one.
std::size_t roomFor(const ParadoxBytes& b, std::size_t off, std::size_t recordBytes)
{
    return off < b.size() ? (b.size() - off) / recordBytes : 0;
}

std::vector<std::uint8_t> readValue(const ParadoxBytes& b, std::size_t& pos, int length)
{
    const std::uint8_t* p = b.span(pos, static_cast<std::size_t>(length));
    pos += static_cast<std::size_t>(length);
    return {p, p + length};
}

// The footer repeats the table's field list; it tells whether the file still belongs to it.
void checkFooter(const ParadoxBytes& b, std::size_t at, const ParadoxTableHeader& table)
{
    const int n = b.u16(at + FooterFieldCount);
    b.require(n == table.numFields, [&] {
        return "validity file describes " + std::to_string(n) + " fields, the table has " +
               std::to_string(table.numFields) + "; it no longer matches its table";
    });
    const std::size_t ids = at + FooterIds;
    const std::size_t types = ids + 2 * static_cast<std::size_t>(n);
    for (int i = 0; i < n; ++i) {
        const ParadoxField& f = table.fields[static_cast<std::size_t>(i)];
        const std::size_t t = types + 2 * static_cast<std::size_t>(i);
        b.require(b.u8(t) == f.type && b.u8(t + 1) == f.size,
                  [&] { return "field " + std::to_string(i + 1) + " (" + f.name +
                      ") has another type or size in the validity file; it no longer matches its table"; });
        if (table.hasDataHeader)
            b.require(b.u16(ids + 2 * static_cast<std::size_t>(i)) == f.id,
                      [&] { return "field " + std::to_string(i + 1) + " (" + f.name +
                          ") has another id in the validity file; it no longer matches its table"; });
    }
}

ParadoxValCheck readCheck(const ParadoxBytes& b, std::size_t& pos, const ParadoxTableHeader& table)
{
    ParadoxValCheck c;
    const std::size_t at = pos;
    c.fieldPosition = b.u8(at + CheckField);
    b.require(c.fieldPosition < table.numFields, [&] {
        return "validity check for field " + std::to_string(c.fieldPosition + 1) + " of a table with " +
               std::to_string(table.numFields) + " fields";
    });
    const ParadoxField& f = table.fields[static_cast<std::size_t>(c.fieldPosition)];
    const std::size_t pictureLength = b.u8(at + CheckPictureLength);
    c.required = b.u8(at + CheckRequired) != 0;
    c.lookupOptions = b.u8(at + CheckLookupOptions);
    c.hasLookup = b.u32(at + CheckHasLookup) != 0;
    c.hasMinimum = b.u32(at + CheckHasMinimum) != 0;
    c.hasMaximum = b.u32(at + CheckHasMaximum) != 0;
    c.hasDefault = b.u32(at + CheckHasDefault) != 0;
    const bool hasPicture = b.u32(at + CheckHasPicture) != 0;
    pos = at + CheckFixedPart;
    if (c.hasLookup) {
        c.lookupTable = b.fixedText(pos, LookupTableName);
        b.span(pos, LookupBlock);
        pos += LookupBlock;
    }
    if (c.hasMinimum)
        c.minimum = readValue(b, pos, f.length());
    if (c.hasMaximum)
        c.maximum = readValue(b, pos, f.length());
    if (c.hasDefault)
        c.defaultValue = readValue(b, pos, f.length());
    if (hasPicture && pictureLength > 0) {
        c.picture = b.fixedText(pos, pictureLength);
        pos += pictureLength;
    }
    return c;
}

ParadoxDependentRule readDependent(const ParadoxBytes& b, std::size_t at, const ParadoxTableHeader& table)
{
    b.span(at, DependentRecord);
    ParadoxDependentRule r;
    r.name = b.fixedText(at + RuleName, RuleNameBytes);
    r.indexName = b.fixedText(at + DepIndexName, RuleNameBytes);
    r.indexNumber = b.u8(at + DepIndexNumber);
    r.masterTable = b.fixedText(at + DepMasterTable, DepUpdateRule - DepMasterTable);
    r.updateRule = b.u32(at + DepUpdateRule);
    const int count = b.u16(at + DepFieldCount);
    const auto what = [&] { return "referential-integrity rule \"" + r.name + "\""; };
    r.fields = readPositions(b, at + DepFields, count, table.numFields, what);
    r.masterFields = readPositions(b, at + DepMasterFields, count, 255, what);
    return r;
}

ParadoxMasterRule readMaster(const ParadoxBytes& b, std::size_t at, int keyCount)
{
    b.span(at, MasterRecord);
    ParadoxMasterRule r;
    r.name = b.fixedText(at + RuleName, RuleNameBytes);
    r.dependentTable = b.fixedText(at + MasDependentTable, MasDependentTableBytes);
    r.indexName = b.fixedText(at + MasIndexName, MasIndexNameBytes);
    r.indexNumber = b.u16(at + MasIndexNumber);
    r.updateRule = b.u16(at + MasUpdateRule);
    r.dependentFields = readPositions(b, at + MasDependentFields, keyCount, 255,
                                      [&] { return "referential-integrity rule \"" + r.name + "\""; });
    return r;
}

} // namespace

ParadoxValFile ParseParadoxValFile(const std::uint8_t* data, std::size_t size, const ParadoxTableHeader& table,
                                   const std::string& fileName)
{
    const ParadoxBytes b(data, size, fileName);
    b.require(size >= FirstCheck, [&] { return "validity file truncated: " + std::to_string(size) + " bytes"; });
    ParadoxValFile v;
    v.changeCount = b.u8(ChangeCount);
    v.version = b.u8(Version);
    if (table.fileVersionId < ParadoxVersion::FirstWithDataHeader) {
        // Layout of level 3 tables: kept as present, not decoded.
        v.oldFormat = true;
        return v;
    }
    b.require(v.version == table.fileVersionId, [&] {
        return "validity file of version " + std::to_string(v.version) + " for a table of version " +
               std::to_string(table.fileVersionId) + "; it no longer matches its table";
    });
    b.require(v.changeCount == table.changeCount2, [&] {
        return "validity file written for another state of the table "
               "(change count " +
               std::to_string(v.changeCount) + ", table " + std::to_string(table.changeCount2) + ")";
    });
    const std::size_t footer = b.u32(FooterOffset);
    const std::size_t refInt = b.u32(RefIntOffset);
    checkFooter(b, footer, table);

    const int checkCount = b.u8(CheckCount);
    std::size_t pos = FirstCheck;
    const std::size_t checksEnd = refInt != 0 ? refInt : footer;
    v.checks.reserve(std::min<std::size_t>(checkCount, roomFor(b, pos, CheckFixedPart)));
    for (int i = 0; i < checkCount; ++i) {
        v.checks.push_back(readCheck(b, pos, table));
        b.require(pos <= checksEnd, [&] { return "validity check " + std::to_string(i + 1) + " runs past offset " +
                                        std::to_string(checksEnd); });
    }

    if (refInt != 0) {
        const int dependents = b.u16(refInt);
        std::size_t at = refInt + 2;
        v.dependentRules.reserve(std::min<std::size_t>(dependents, roomFor(b, at, DependentRecord)));
        for (int i = 0; i < dependents; ++i, at += DependentRecord)
            v.dependentRules.push_back(readDependent(b, at, table));
        const int isMaster = b.u16(at);
        b.require(isMaster <= 1, [&] { return "unknown master-side marker " + std::to_string(isMaster); });
        if (isMaster == 1) {
            const int keyCount = b.u16(at + MasterKeyCount);
            v.masterKeyFields =
                readPositions(b, at + MasterKeyFields, keyCount, table.numFields, [] { return std::string("master key"); });
            const int rules = b.u16(at + MasterRuleCount);
            std::size_t r = at + MasterRules;
            v.masterRules.reserve(std::min<std::size_t>(rules, roomFor(b, r, MasterRecord)));
            for (int i = 0; i < rules; ++i, r += MasterRecord)
                v.masterRules.push_back(readMaster(b, r, keyCount));
        }
    }
    return v;
}

} // namespace morvane
