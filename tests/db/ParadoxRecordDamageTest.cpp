// Damaged and protected tables under the record reader: copies of samples with a cut file, a
// looped or wild block chain, a record count that disagrees, wrong blob pointers; each is an
// EvxEngineError naming the file and the fault, never a crash, a hang or a guess. Random
// damage never gets past the reader as anything but such an error.

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/TvxParadoxDatabase.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

#include "ParadoxTestSupport.h"

namespace morvane {
namespace {

using test::ReadAll;
using test::SamplePath;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes sample(const std::string& relative)
{
    Bytes b = ReadAll(SamplePath(relative));
    if (b.empty())
        throw std::runtime_error("sample missing or empty: " + relative);
    return b;
}

std::unique_ptr<ParadoxByteSource> memory(const Bytes& b, const std::string& name)
{
    return std::make_unique<ParadoxMemorySource>(b.data(), b.size(), name);
}

// Reads every record; returns the first error's text ("" when none) and counts the records.
std::string readAll(const Bytes& db, const Bytes* mb, std::size_t* records = nullptr, std::uint32_t key = 0)
{
    std::size_t n = 0;
    std::string error;
    try {
        ParadoxRecordReader reader(memory(db, "T.DB"), mb ? memory(*mb, "T.MB") : nullptr, key);
        TvxRecord rec;
        for (;;) {
            try {
                if (!reader.Next(rec))
                    break;
                ++n;
            } catch (const EvxEngineError& e) {
                if (error.empty())
                    error = e.what();
                if (!reader.Resumable())
                    break;
            }
        }
    } catch (const EvxEngineError& e) {
        error = e.what();
    }
    if (records)
        *records = n;
    return error;
}

std::size_t blockAt(const Bytes& db, std::uint32_t n)
{
    return ParadoxLe16(db.data() + ParadoxHeader::HeaderSize) +
           std::size_t{n - 1} * db[ParadoxHeader::BlockSizeKb] * ParadoxBlock::BytesPerKb;
}

void expectFault(const Bytes& db, const Bytes* mb, const std::string& words)
{
    const std::string error = readAll(db, mb);
    EXPECT_NE(error.find("T."), std::string::npos) << error;
    EXPECT_NE(error.find(words), std::string::npos) << "expected \"" << words << "\" in: " << error;
}

TEST(ParadoxRecordDamage, BlockChainAndCounts)
{
    const Bytes zip = sample("pd-areas/ZIPCODES.DB"); // 686 blocks of 2 KiB
    std::size_t count = 0;
    ASSERT_EQ(readAll(zip, nullptr, &count), "");
    EXPECT_EQ(count, 43185u);

    Bytes b = zip; // block 5 leads back to block 2
    test::PutU16(b, blockAt(b, 5) + ParadoxBlock::Next, 2);
    expectFault(b, nullptr, "loops");

    b = zip; // a block past the file's block count
    test::PutU16(b, blockAt(b, 1) + ParadoxBlock::Next, 4000);
    expectFault(b, nullptr, "block 4000");

    b = zip; // the header announces fewer records than the blocks hold, then more
    test::PutU32(b, ParadoxHeader::NumRecords, 43000);
    expectFault(b, nullptr, "announces 43000 records");
    test::PutU32(b, ParadoxHeader::NumRecords, 43186);
    expectFault(b, nullptr, "hold 43185");

    b = zip; // a record count no block holds
    test::PutU16(b, blockAt(b, 3) + ParadoxBlock::AddDataSize, 7);
    expectFault(b, nullptr, "block 3 declares");
    test::PutU16(b, blockAt(b, 3) + ParadoxBlock::AddDataSize, 0x7FE0);
    expectFault(b, nullptr, "block 3 declares");

    b = zip; // the last block cut before its records end
    b.resize(b.size() - 600);
    expectFault(b, nullptr, "cut short");

    b = zip; // a table with records but no first block
    test::PutU16(b, ParadoxHeader::FirstBlock, 0);
    expectFault(b, nullptr, "hold 0");
}

TEST(ParadoxRecordDamage, FileCutWhileReading)
{
    // The file shrinks after the reader opened it: the blocks now missing are an error.
    TempDir dir;
    dir.copySamples({"pd-areas/ZIPCODES.DB"});
    const std::string path = dir.file("ZIPCODES.DB");
    ParadoxRecordReader reader(ParadoxFileSource::Open(path), nullptr, 0);
    std::filesystem::resize_file(path, 2048 + 10 * 2048);
    TvxRecord rec;
    std::size_t n = 0;
    try {
        while (reader.Next(rec))
            ++n;
        ADD_FAILURE() << "the cut was not noticed";
    } catch (const EvxEngineError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_FALSE(reader.Resumable());
        EXPECT_THROW(reader.Next(rec), EvxEngineError); // and it stays at the fault
    }
    EXPECT_LE(n, 10u * 63);
}

// memo.db: record 1 has a 555-byte memo in slot 0x3F of the sub-allocated block at 0x1000,
// record 2 a memo held by its record alone.
TEST(ParadoxRecordDamage, BlobPointers)
{
    const Bytes db = sample("pd-fields/memo.db");
    const Bytes mb = sample("pd-fields/memo.mb");
    std::size_t count = 0;
    ASSERT_EQ(readAll(db, &mb, &count), "");
    ASSERT_EQ(count, 2u);
    // The tail of the memo field (after a Long and 240 leader bytes) in record 1.
    const std::size_t tail = blockAt(db, 1) + ParadoxBlock::HeaderBytes + 4 + 240;
    ASSERT_EQ(ParadoxLe32(db.data() + tail), 0x103Fu);

    const auto withPointer = [&](std::uint32_t pointer, std::uint32_t length = 555) {
        Bytes b = db;
        test::PutU32(b, tail + ParadoxBlobTail::Offset, pointer);
        test::PutU32(b, tail + ParadoxBlobTail::Length, length);
        return b;
    };
    Bytes b = withPointer(0x7FFF003F);
    expectFault(b, &mb, "past the end of the file");
    b = withPointer(0x1000 + 0x40);
    expectFault(b, &mb, "slot 64");
    b = withPointer(0x1000 + 0x20);
    expectFault(b, &mb, "holds no blob");
    b = withPointer(0x103F, 556);
    expectFault(b, &mb, "holds 555");
    b = withPointer(0x0800 + 0x3F);
    expectFault(b, &mb, "does not point at a blob block");
    b = withPointer(0, 555);
    expectFault(b, &mb, "does not fit");

    // A blob pointing at a free block, and one whose length its single-blob block denies.
    const Bytes gdb = sample("pd-fields/graphic.db");
    const Bytes gmb = sample("pd-fields/graphic.mb");
    ASSERT_EQ(readAll(gdb, &gmb), "");
    b = gdb;
    const std::size_t gtail = blockAt(gdb, 1) + ParadoxBlock::HeaderBytes + 4; // after a Long; no leader
    ASSERT_EQ(ParadoxLe32(b.data() + gtail), 0x10FFu);
    test::PutU32(b, gtail, 0x60FF);
    expectFault(b, &gmb, "free block");
    b = gdb;
    test::PutU32(b, gtail + ParadoxBlobTail::Length, 20000);
    expectFault(b, &gmb, "holds 20086");

    // Without its .MB the record that needs it fails alone; the other is read.
    const std::string error = readAll(db, nullptr, &count);
    EXPECT_NE(error.find("record 1, field 2"), std::string::npos) << error;
    EXPECT_NE(error.find(".MB file, which is missing"), std::string::npos) << error;
    EXPECT_EQ(count, 1u);
}

TEST(ParadoxRecordDamage, ProtectedTables)
{
    for (const char* name : {"pd-encrypt/encrypted.db", "pd-encrypt/encrypted35.db", "pd-encrypt/encryptedmemo.db"}) {
        SCOPED_TRACE(name);
        const Bytes db = sample(name);
        const Bytes mb = sample("pd-encrypt/encryptedmemo.mb");
        try {
            ParadoxRecordReader reader(memory(db, "T.DB"), nullptr, 0);
            ADD_FAILURE() << "read without its password";
        } catch (const EvxEngineError& e) {
            EXPECT_EQ(e.Code(), vxErrPasswordRequired);
        }
        EXPECT_THROW(ParadoxRecordReader(memory(db, "T.DB"), nullptr, ParadoxPasswordChecksum("124")), EvxEngineError);
        std::size_t count = 0;
        EXPECT_EQ(readAll(db, &mb, &count, ParadoxPasswordChecksum("123")), "");
        EXPECT_EQ(count, ParadoxLe32(db.data() + ParadoxHeader::NumRecords));
    }

    // Through the engine: the session's passwords decide.
    TempDir dir;
    dir.copySamples({"pd-encrypt/encryptedmemo.db", "pd-encrypt/encryptedmemo.mb"});
    auto passwords = std::make_shared<std::vector<std::string>>();
    TvxParadoxDatabase engineDb(dir.str(), passwords);
    try {
        engineDb.OpenRecords("encryptedmemo.db");
        ADD_FAILURE() << "opened without a password";
    } catch (const EvxEngineError& e) {
        EXPECT_EQ(e.Code(), vxErrPasswordRequired);
        EXPECT_NE(std::string(e.what()).find("encryptedmemo.db"), std::string::npos);
    }
    passwords->push_back("123");
    auto source = engineDb.OpenRecords("ENCRYPTEDMEMO");
    TvxRecord rec;
    std::size_t memos = 0;
    while (source->Next(rec)) {
        ASSERT_EQ(rec.size(), 1u);
        memos += rec[0].kind() == TvxFieldValue::Kind::Bytes && rec[0].text().size() > 240;
    }
    EXPECT_GE(memos, 1u); // a memo that lives in the encrypted .MB
}

TEST(ParadoxRecordDamage, RandomDamageIsAlwaysAnEngineError)
{
    // Tables of several levels, block sizes and blob kinds with random bytes changed in the
    // header's block fields, the data blocks and the .MB.
    struct Case
    {
        const char* db;
        const char* mb;
    };
    const Case cases[] = {{"rparadox-extdata/biolife.db", "rparadox-extdata/biolife.mb"},
                          {"pd-fields/memo.db", "pd-fields/memo.mb"},
                          {"pd-fields/fmemo.db", "pd-fields/fmemo.mb"},
                          {"pd-areas/AREACODE.DB", nullptr},
                          {"rparadox-extdata/TypSammlung.DB", "rparadox-extdata/TypSammlung.MB"}};
    std::mt19937 rng(20240611);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.db);
        const Bytes db0 = sample(c.db);
        const Bytes mb0 = c.mb ? sample(c.mb) : Bytes();
        const std::size_t headerSize = ParadoxLe16(db0.data() + ParadoxHeader::HeaderSize);
        for (int round = 0; round < 150; ++round) {
            Bytes db = db0;
            Bytes mb = mb0;
            const int edits = 1 + static_cast<int>(rng() % 6);
            for (int e = 0; e < edits; ++e) {
                const unsigned where = rng() % 3;
                if (where == 0) {
                    const std::size_t fields[] = {0x06, 0x07, 0x0C, 0x0E, 0x10};
                    db[fields[rng() % 5]] = static_cast<std::uint8_t>(rng());
                } else if (where == 1 && db.size() > headerSize) {
                    db[headerSize + rng() % (db.size() - headerSize)] = static_cast<std::uint8_t>(rng());
                } else if (!mb.empty()) {
                    mb[rng() % mb.size()] = static_cast<std::uint8_t>(rng());
                }
            }
            if (rng() % 10 == 0)
                db.resize(db.size() - rng() % (db.size() - headerSize + 1));
            (void)readAll(db, c.mb ? &mb : nullptr); // must return, whatever it says
        }
    }
}

} // namespace
} // namespace morvane
