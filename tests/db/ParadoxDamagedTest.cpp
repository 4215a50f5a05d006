// Damaged and hostile table files, written in temporary folders from the samples: each is a
// clear EvxEngineError naming the file, never a crash, a hang or a huge allocation; and the
// parsed headers are reused until a file changes.

#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxIndexFile.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxValFile.h"
#include "ParadoxTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

#include <functional>
#include <random>

namespace morvane {
namespace {

using test::ReadAll;
using test::SamplePath;
using test::TempDir;
using test::WriteAll;

using Bytes = std::vector<std::uint8_t>;

// Copies the C family of pd-joins into dir, changing one file first.
void writeFamily(const TempDir& dir, const std::string& changed, const std::function<void(Bytes&)>& change)
{
    for (const char* f : {"C.DB", "C.PX", "C.VAL", "C.X02", "C.Y02", "C.X03", "C.Y03"}) {
        Bytes b = ReadAll(SamplePath(std::string("pd-joins/") + f));
        if (changed == f)
            change(b);
        WriteAll(dir.path() / f, b);
    }
}

// Reads the whole structure of C.DB and returns the error, which must name the file.
EvxEngineError readError(const std::string& changed, const std::function<void(Bytes&)>& change)
{
    TempDir dir;
    writeFamily(dir, changed, change);
    TvxParadoxDatabase db(dir.str(), nullptr);
    try {
        db.ReadTableProperties("C.DB");
        db.ReadFieldDescriptors("C.DB");
        db.ReadIndexDescriptors("C.DB");
        db.ReadRefIntDescriptors("C.DB");
        db.ReadValChecks("C.DB");
    } catch (const EvxEngineError& e) {
        EXPECT_NE(std::string(e.what()).find(changed), std::string::npos) << e.what();
        // A damaged table leaves the rest of the directory readable.
        EXPECT_EQ(db.ListTables("*.db").size(), 1u);
        return e;
    }
    ADD_FAILURE() << "damage in " << changed << " not reported";
    return EvxEngineError(0, "");
}

void expectInvalid(const std::string& changed, const std::function<void(Bytes&)>& change, const std::string& words)
{
    const EvxEngineError e = readError(changed, change);
    EXPECT_EQ(e.Code(), vxErrInvalidFile) << e.what();
    EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
}

TEST(ParadoxDamaged, TableHeaders)
{
    expectInvalid("C.DB", [](Bytes& b) { b.resize(60); }, "truncated");
    expectInvalid("C.DB", [](Bytes& b) { b.resize(0x100); }, "exceeds the file size");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x02, 0xF000); }, "header size");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x21, 0); }, "field count");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x21, 300); }, "field count");
    expectInvalid("C.DB", [](Bytes& b) { b[0x39] = 42; }, "file version");
    expectInvalid("C.DB", [](Bytes& b) { b[0x05] = 0; }, "block size");
    expectInvalid("C.DB", [](Bytes& b) { b[0x04] = 9; }, "file type");
    expectInvalid("C.DB", [](Bytes& b) { b[0x04] = 5; }, "not a table");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x23, 4); }, "key field count");
    // A field-name string running to the end of the header.
    expectInvalid("C.DB", [](Bytes& b) {
        for (std::size_t i = 0x78; i < 0x800; ++i)
            b[i] = b[i] == 0 ? 'x' : b[i];
    }, "");
}

TEST(ParadoxDamaged, FieldsAndCounts)
{
    expectInvalid("C.DB", [](Bytes& b) { b[0x78] = 0x07; }, "unknown type code 7");
    expectInvalid("C.DB", [](Bytes& b) { b[0x79] = 3; }, "size 3");              // a Long of 3 bytes
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x00, 13); }, "record size");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU32(b, 0x06, 1000000); }, "record count");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x0C, 500); }, "blocks");
    expectInvalid("C.DB", [](Bytes& b) { test::PutU16(b, 0x10, 7); }, "block");
}

TEST(ParadoxDamaged, IndexFiles)
{
    // The primary index of a table with a two-field key.
    expectInvalid("C.PX", [](Bytes& b) { b = ReadAll(SamplePath("pd-joins/two.px")); }, "primary index");
    expectInvalid("C.PX", [](Bytes& b) { b.resize(40); }, "truncated");
    // Field ids of an X file name the indexed table field: 9 is past the table's 3.
    expectInvalid("C.X02", [](Bytes& b) {
        const std::size_t ids = ParadoxHeader::CommonPartEnd + ParadoxLe16(b.data() + ParadoxHeader::FieldIdsPtr);
        test::PutU16(b, ids, 9);
    }, "field 9");
    // Pointing at field 3 where the X file holds a copy of field 2 (another name).
    expectInvalid("C.X02", [](Bytes& b) {
        const std::size_t ids = ParadoxHeader::CommonPartEnd + ParadoxLe16(b.data() + ParadoxHeader::FieldIdsPtr);
        test::PutU16(b, ids, 3);
    }, "does not match");
    expectInvalid("C.X03", [](Bytes& b) { b.resize(0x90); }, "exceeds the file size");
}

TEST(ParadoxDamaged, ValidityFiles)
{
    expectInvalid("C.VAL", [](Bytes& b) { b[0] ^= 0x55; }, "change count");
    expectInvalid("C.VAL", [](Bytes& b) { b[1] = 9; }, "no longer matches");
    // The version of a level 3 validity file on a level 5 table.
    expectInvalid("C.VAL", [](Bytes& b) { b[1] = 1; }, "no longer matches");
    // Footer: field count, then a field type that is no longer the table's.
    expectInvalid("C.VAL", [](Bytes& b) {
        const std::size_t footer = ParadoxLe16(b.data() + ParadoxValLayout::FooterOffset);
        test::PutU16(b, footer, 4);
    }, "no longer matches");
    expectInvalid("C.VAL", [](Bytes& b) {
        const std::size_t footer = ParadoxLe16(b.data() + ParadoxValLayout::FooterOffset);
        b[footer + 6 + 6] = 0x01;
    }, "no longer matches");
    expectInvalid("C.VAL", [](Bytes& b) { test::PutU32(b, 0x09, 0x7FFFFFF0); }, "file ends");
    expectInvalid("C.VAL", [](Bytes& b) { test::PutU32(b, 0x0D, 0x4000); }, "file ends");
    expectInvalid("C.VAL", [](Bytes& b) { b[2] = 200; }, "");          // more checks than present
    expectInvalid("C.VAL", [](Bytes& b) { b[0x35] = 7; }, "field 8");  // check on a field the table lacks
    expectInvalid("C.VAL", [](Bytes& b) { test::PutU16(b, 0x6D, 0xFFFF); }, "");  // 65535 rules
    expectInvalid("C.VAL", [](Bytes& b) { test::PutU16(b, 0x6F + 0x19E, 40); }, "40 fields");
    expectInvalid("C.VAL", [](Bytes& b) { b.resize(20); }, "truncated");
}

TEST(ParadoxDamaged, MissingFilesAndDirectories)
{
    TempDir dir;
    TvxParadoxDatabase db(dir.str(), nullptr);
    try {
        db.ReadTableProperties("NOTHERE.DB");
        ADD_FAILURE();
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrNotFound);
        EXPECT_NE(std::string(e.what()).find("NOTHERE.DB"), std::string::npos);
    }
    EXPECT_TRUE(db.ListTables("*.db").empty());
    TvxParadoxDatabase gone(dir.str() + "/missing", nullptr);
    try {
        gone.ListTables("*.db");
        ADD_FAILURE();
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrDirectory);
    }
}

TEST(ParadoxDamaged, RandomDamageToEverySampleHeaderOnlyGivesEngineErrors)
{
    std::mt19937 rng(20240607);
    int rejected = 0;
    int accepted = 0;
    const ParadoxTableHeader c = [] {
        const Bytes b = ReadAll(SamplePath("pd-joins/C.DB"));
        return ParseParadoxHeader(b.data(), b.size(), b.size(), "C.DB");
    }();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SamplePath(""))) {
        if (!entry.is_regular_file() || entry.file_size() > 200000)
            continue;
        const Bytes original = ReadAll(entry.path().string());
        for (int round = 0; round < 60; ++round) {
            Bytes b = original;
            const std::size_t limit = std::min<std::size_t>(b.size(), 0x300);
            if (limit == 0)
                break;
            for (int k = 0; k < 1 + round % 4; ++k)
                b[rng() % limit] = static_cast<std::uint8_t>(rng());
            if (round % 5 == 0)
                b.resize(rng() % (limit + 1));
            try {
                ParseParadoxHeader(b.data(), b.size(), b.size(), "x");
                ++accepted;
            } catch (const EvxEngineError& e) {
                EXPECT_EQ(e.Code(), vxErrInvalidFile);
                ++rejected;
            }
            try {
                ParseParadoxSecondaryIndex(b.data(), b.size(), b.size(), c, "X02", "x");
            } catch (const EvxEngineError&) {
            }
            try {
                ParseParadoxValFile(b.data(), b.size(), c, "x");
            } catch (const EvxEngineError&) {
            }
        }
    }
    EXPECT_GT(rejected, 100);
    EXPECT_GT(accepted, 0);
}

// The parse from a header's used start (what the table cache reads) against the parse of the
// whole file, over every sample family file, intact and randomly damaged: it succeeds only with
// the same header, and whenever the whole parse succeeds.
TEST(ParadoxDamaged, ParseFromTheUsedStartOfAHeaderAgreesWithTheWholeHeader)
{
    std::mt19937 rng(20261207);
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SamplePath(""))) {
        if (!entry.is_regular_file() || entry.file_size() > 200000)
            continue;
        const Bytes original = ReadAll(entry.path().string());
        for (int round = 0; round < 40; ++round) {
            Bytes b = original;
            const std::size_t limit = std::min<std::size_t>(b.size(), 0x300);
            for (int k = 0; limit > 0 && round > 0 && k < 1 + round % 3; ++k)
                b[rng() % limit] = static_cast<std::uint8_t>(rng());
            std::optional<ParadoxTableHeader> whole;
            try {
                whole = ParseParadoxHeader(b.data(), b.size(), b.size(), "x");
            } catch (const EvxEngineError&) {
            }
            const std::size_t used = ParadoxHeaderUsedBytes(b.data(), b.size());
            if (used == 0) {
                EXPECT_FALSE(whole.has_value()) << entry.path(); // the parse finds its end unterminated too
                continue;
            }
            ASSERT_LE(used, b.size());
            EXPECT_EQ(ParadoxHeaderUsedBytes(b.data(), used), used) << entry.path();
            if (used > ParadoxHeader::CommonPartEnd) {
                EXPECT_EQ(ParadoxHeaderUsedBytes(b.data(), used - 1), 0u) << entry.path();
            }
            std::optional<ParadoxTableHeader> start;
            try {
                start = ParseParadoxHeaderStart(b.data(), used, b.size(), "x");
            } catch (const EvxEngineError& e) {
                EXPECT_EQ(e.Code(), vxErrInvalidFile);
            }
            ASSERT_EQ(start.has_value(), whole.has_value()) << entry.path() << " round " << round;
            if (!whole)
                continue;
            ++compared;
            EXPECT_EQ(start->headerSize, whole->headerSize);
            EXPECT_EQ(start->numRecords, whole->numRecords);
            EXPECT_EQ(start->storedTableName, whole->storedTableName);
            EXPECT_EQ(start->languageDriver, whole->languageDriver);
            EXPECT_EQ(start->indexName, whole->indexName);
            EXPECT_EQ(start->pointersAgree, whole->pointersAgree);
            EXPECT_EQ(start->passwordKey(), whole->passwordKey());
            ASSERT_EQ(start->fields.size(), whole->fields.size());
            for (std::size_t i = 0; i < whole->fields.size(); ++i) {
                EXPECT_EQ(start->fields[i].name, whole->fields[i].name);
                EXPECT_EQ(start->fields[i].type, whole->fields[i].type);
                EXPECT_EQ(start->fields[i].size, whole->fields[i].size);
                EXPECT_EQ(start->fields[i].id, whole->fields[i].id);
            }
        }
    }
    EXPECT_GT(compared, 100);
}

TEST(ParadoxCache, EachFileIsParsedOnceUntilItChanges)
{
    TempDir dir;
    writeFamily(dir, "", [](Bytes&) {});
    TvxParadoxDatabase db(dir.str(), nullptr);
    for (int round = 0; round < 3; ++round) {
        db.ReadTableProperties("C.DB");
        db.ReadFieldDescriptors("C.DB");
        db.ReadIndexDescriptors("C.DB");
        db.ReadRefIntDescriptors("C.DB");
        db.ReadValChecks("C.DB");
    }
    // C.DB, C.PX, C.X02, C.X03 and C.VAL.
    EXPECT_EQ(db.ParseCount(), 5u);

    // Rewriting the validity file with one check less is seen when a read is repeated.
    Bytes val = ReadAll((dir.path() / "C.VAL").string());
    val[2] = 1;
    val.push_back(0); // another size, whatever the clock's resolution
    WriteAll(dir.path() / "C.VAL", val);
    EXPECT_EQ(db.ReadValChecks("C.DB").size(), 1u);
    EXPECT_EQ(db.ParseCount(), 10u);

    // An index file pair that disappears is gone from the next pass over the tables.
    std::filesystem::remove(dir.path() / "C.X03");
    EXPECT_EQ(db.ListTables("*.db").size(), 1u);
    EXPECT_EQ(db.ReadIndexDescriptors("C.DB").size(), 2u);
}

TEST(ParadoxCache, TheReadsOfOneTableDescribeOneStateOfIt)
{
    TempDir dir;
    writeFamily(dir, "", [](Bytes&) {});
    TvxParadoxDatabase db(dir.str(), nullptr);
    const TvxCursorProps props = db.ReadTableProperties("C.DB");
    ASSERT_EQ(props.valCheckCount(), 2);

    // The validity file changes between two reads of one connect: the counts read first and
    // the checks read after still agree.
    Bytes val = ReadAll((dir.path() / "C.VAL").string());
    val[2] = 1;
    val.push_back(0);
    WriteAll(dir.path() / "C.VAL", val);
    EXPECT_EQ(db.ReadFieldDescriptors("C.DB").size(), 3u);
    EXPECT_EQ(db.ReadValChecks("C.DB").size(), 2u);
    // Reading the checks again, or the properties in a new pass, sees the new file.
    EXPECT_EQ(db.ReadValChecks("C.DB").size(), 1u);
    EXPECT_EQ(db.ReadTableProperties("C.DB").valCheckCount(), 1);
}

// Reads that follow a listing take the .DB's size from it: a table that grew since is looked at
// again rather than reported damaged, and a damaged one is still reported.
TEST(ParadoxCache, ReadsAfterAListingSeeTablesThatChangedSince)
{
    TempDir dir;
    writeFamily(dir, "", [](Bytes&) {});
    const Bytes original = ReadAll((dir.path() / "C.DB").string());
    const std::size_t block = std::size_t{original[ParadoxHeader::BlockSizeKb]} * ParadoxBlock::BytesPerKb;
    const std::uint16_t blocks = ParadoxLe16(original.data() + ParadoxHeader::FileBlocks);
    for (const bool grows : {true, false}) {
        TvxParadoxDatabase db(dir.str(), nullptr);
        ASSERT_EQ(db.ListTables("*.db").size(), 1u);
        // One more block, counted in the header: it only fits the file's new size.
        Bytes b = original;
        b.insert(b.end(), block, std::uint8_t{0});
        test::PutU16(b, ParadoxHeader::FileBlocks, static_cast<std::uint16_t>(blocks + 1));
        if (!grows)
            b.resize(original.size()); // the header claims a block the file lacks
        WriteAll(dir.path() / "C.DB", b);
        if (grows) {
            EXPECT_EQ(db.ReadTableProperties("C.DB").fieldCount(), 3);
        } else {
            try {
                db.ReadTableProperties("C.DB");
                ADD_FAILURE() << "a header claiming a missing block was accepted";
            } catch (const EvxEngineError& e) {
                EXPECT_EQ(e.Code(), vxErrInvalidFile);
                EXPECT_NE(std::string(e.what()).find("do not fit"), std::string::npos) << e.what();
            }
        }
        WriteAll(dir.path() / "C.DB", original);
    }
    // An index removed since the listing: the read goes by the directory as it is now.
    TvxParadoxDatabase db(dir.str(), nullptr);
    ASSERT_EQ(db.ListTables("*.db").size(), 1u);
    std::filesystem::remove(dir.path() / "C.X03");
    std::filesystem::remove(dir.path() / "C.Y03");
    EXPECT_EQ(db.ReadTableProperties("C.DB").indexCount(), 2);
}

TEST(ParadoxCache, ConnectReadsHeadersButNoDataBlock)
{
    TempDir dir;
    writeFamily(dir, "", [](Bytes&) {});
    TvxParadoxDatabase db(dir.str(), nullptr);
    db.ReadTableProperties("C.DB");
    db.ReadFieldDescriptors("C.DB");
    db.ReadRefIntDescriptors("C.DB");
    db.ReadIndexDescriptors("C.DB");
    db.ReadValChecks("C.DB");
    // At most the header of every file of the family (its size: u16 at offset 2), at least
    // its used part (u16 at 0x51); the .VAL is read whole.
    std::uint64_t most = 0;
    std::uint64_t least = 0;
    for (const char* f : {"C.DB", "C.PX", "C.X02", "C.X03"}) {
        const Bytes b = ReadAll((dir.path() / f).string());
        ASSERT_GT(b.size(), ParadoxHeader::CommonPartEnd) << f;
        const std::uint64_t headerSize = ParadoxLe16(b.data() + ParadoxHeader::HeaderSize);
        ASSERT_LT(headerSize, b.size()) << f << " has data blocks";
        most += headerSize;
        least += ParadoxLe16(b.data() + ParadoxHeader::RealHeaderSize);
    }
    const std::uint64_t val = std::filesystem::file_size(dir.path() / "C.VAL");
    EXPECT_LE(db.BytesRead(), most + val);
    EXPECT_GE(db.BytesRead(), least + val);
}

TEST(ParadoxDamaged, ProtectedTableIsRefusedBeforeItsOtherFilesAreRead)
{
    TempDir dir;
    dir.copySamples({"pd-encrypt/encrypted.db"});
    WriteAll(dir.path() / "encrypted.VAL", Bytes(200, 0xA5));
    TvxParadoxDatabase locked(dir.str(), nullptr);
    try {
        locked.ReadValChecks("encrypted.db");
        ADD_FAILURE() << "protected table read without its password";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired) << e.what();
    }
    // With the password, the damaged validity file is what the read reports.
    TvxParadoxDatabase open(dir.str(),
                            std::make_shared<const std::vector<std::string>>(std::vector<std::string>{"123"}));
    try {
        open.ReadValChecks("encrypted.db");
        ADD_FAILURE() << "damaged validity file not reported";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrInvalidFile) << e.what();
        EXPECT_NE(std::string(e.what()).find("encrypted.VAL"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace morvane
