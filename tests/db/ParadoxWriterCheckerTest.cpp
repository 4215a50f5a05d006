// The family checker against damage: a family written by our writer is clean; each broken
// rule, made by changing a few bytes of one of its files, is found and named.

#include "ParadoxTestSupport.h"
#include "ParadoxWriterTestSupport.h"
#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxLayout.h"

#include <gtest/gtest.h>

#include <functional>

namespace morvane {
namespace {

using namespace test;
namespace H = ParadoxHeader;

constexpr std::size_t RecordBytes = 4 + 10 + 15; // Id, Name, Notes
constexpr std::size_t Block = 2048;

struct Damage
{
    const char* what;
    const char* file;     // extension of the file changed (or removed)
    std::function<void(std::vector<std::uint8_t>&)> change; // empty: the file is removed
    const char* rule;
    ParadoxFinding::Kind kind = ParadoxFinding::Kind::Violation;
};

std::size_t headerSize(const std::vector<std::uint8_t>& f)
{
    return ParadoxLe16(&f[H::HeaderSize]);
}
// Byte offset of record i (0-based) of block b (1-based) in a file with records of rs bytes.
std::size_t recordAt(const std::vector<std::uint8_t>& f, std::size_t b, std::size_t i, std::size_t rs)
{
    return headerSize(f) + (b - 1) * Block + ParadoxBlock::HeaderBytes + i * rs;
}
void swapRecords(std::vector<std::uint8_t>& f, std::size_t rs)
{
    const std::size_t a = recordAt(f, 1, 3, rs);
    std::swap_ranges(f.begin() + static_cast<std::ptrdiff_t>(a), f.begin() + static_cast<std::ptrdiff_t>(a + rs),
                     f.begin() + static_cast<std::ptrdiff_t>(a + rs));
}

const std::vector<Damage> Damages = {
    {"a block's previous link", "DB", [](auto& f) { f[headerSize(f) + Block + ParadoxBlock::Previous] ^= 1; }, "chain"},
    {"a block's record count", "DB", [](auto& f) { f[headerSize(f) + ParadoxBlock::AddDataSize] ^= 1; }, "block"},
    {"the record count", "DB", [](auto& f) { f[H::NumRecords] ^= 1; }, "counts"},
    {"the blocks in use", "DB", [](auto& f) { f[H::UsedBlocks] ^= 4; }, "counts"},
    {"two records swapped", "DB", [](auto& f) { swapRecords(f, RecordBytes); }, "key-order"},
    {"a record's key repeated", "DB",
     [](auto& f) { std::copy_n(&f[recordAt(f, 1, 3, RecordBytes)], 4, &f[recordAt(f, 1, 4, RecordBytes)]); },
     "key-unique"},
    {"a blob's length", "DB", [](auto& f) { f[recordAt(f, 1, 0, RecordBytes) + 14 + 5 + 4] ^= 0x10; }, "blob"},
    {"a blob's block", "DB", [](auto& f) { f[recordAt(f, 1, 0, RecordBytes) + 14 + 5 + 1] ^= 0x40; }, "blob"},
    {"the header's field-id pointer", "DB", [](auto& f) { f[H::FieldIdsPtr] ^= 2; }, "header"},
    {"a .PX entry's count", "PX", [](auto& f) { f[0x800 + ParadoxBlock::HeaderBytes + 4 + 3] ^= 1; }, "tree"},
    {"a .PX entry's key", "PX", [](auto& f) { f[0x800 + ParadoxBlock::HeaderBytes + 6 + 10 + 3] ^= 1; }, "tree"},
    {"the .PX root", "PX", [](auto& f) { f[H::IndexRoot] = 7; }, "tree"},
    {"an X entry's block", "X02", [](auto& f) { f[recordAt(f, 1, 5, 16) + 15] ^= 1; }, "index-entries"},
    {"two X entries swapped", "X02", [](auto& f) { swapRecords(f, 16); }, "index-order"},
    {"the X entry count", "X02", [](auto& f) { f[H::NumRecords] ^= 1; }, "counts"},
    {"an X field's type", "X02", [](auto& f) { f[H::DataHeaderEnd] = pxShort; }, "header"},
    {"the X file's table stamp", "X02", [](auto& f) { f[H::ChangeCount2] ^= 1; }, "stale-stamp",
     ParadoxFinding::Kind::Deviation},
    {"a Y entry's count", "Y02", [](auto& f) { f[0x800 + ParadoxBlock::HeaderBytes + 14 + 3] ^= 1; }, "tree"},
    {"the Y stamp", "Y02", [](auto& f) { f[0x2C] ^= 1; }, "stale-stamp", ParadoxFinding::Kind::Deviation},
    {"the .VAL footer offset", "VAL", [](auto& f) { f[ParadoxValLayout::FooterOffset] ^= 1; }, "val"},
    {"the .VAL cut short", "VAL", [](auto& f) { f.pop_back(); }, "val"},
    {"the .VAL update time", "VAL", [](auto& f) { f[ParadoxValLayout::UpdateTime] ^= 1; }, "stale-stamp",
     ParadoxFinding::Kind::Deviation},
    {"a .MB block's type", "MB", [](auto& f) { f[4096] = 1; }, "blob"},
    {"the .PX removed", "PX", {}, "primary-index"},
    {"the Y file removed", "Y02", {}, "index-file"},
    {"the .MB removed", "MB", {}, "blob"},
};

class CheckerDamage : public ::testing::TestWithParam<Damage>
{
};

TEST_P(CheckerDamage, IsFoundAndNamed)
{
    const Damage& d = GetParam();
    TvxTableDesc desc = MakeTable({{"Id", fldLong}, {"Name", fldAlpha, 10}, {"Notes", fldMemo, 5}}, 1);
    desc.SetIndexes({*desc.GetIndex(0), SecondaryIndex("", {2})});
    TvxValCheckDesc check;
    check.setFieldNumber(2);
    check.setRequired(true);
    desc.SetValChecks({check});
    std::vector<TvxRecord> records;
    for (int i = 0; i < 150; ++i) {
        std::string name = "n";
        name += std::to_string(i % 40);
        records.push_back({TvxFieldValue::Integer(i * 10), TvxFieldValue::Bytes(name),
                           TvxFieldValue::Bytes(std::string(static_cast<std::size_t>(20 + i), 'm'))});
    }
    TempDir dir;
    VectorSource source(records);
    ParadoxWriteTable(desc, source, dir.str(), "T");
    ASSERT_TRUE(ParadoxCheckFamily(dir.str(), "T.DB").clean());

    const std::string file = dir.file(std::string("T.") + d.file);
    if (d.change) {
        std::vector<std::uint8_t> bytes = ReadAll(file);
        d.change(bytes);
        WriteAll(file, bytes);
    } else {
        std::filesystem::remove(file);
    }
    const ParadoxCheckReport report = ParadoxCheckFamily(dir.str(), "T.DB");
    EXPECT_EQ(ParadoxCheckFamily(dir.str(), "T.DB", ParadoxCheckAccess::Map).text(), report.text()); // files mapped
    bool named = false;
    for (const auto& f : report.findings)
        named = named || (f.rule == d.rule && f.kind == d.kind && !f.message.empty());
    EXPECT_TRUE(named) << d.what << ":\n" << report.text();
    EXPECT_EQ(report.ok(), d.kind == ParadoxFinding::Kind::Deviation) << report.text();
}

INSTANTIATE_TEST_SUITE_P(Families, CheckerDamage, ::testing::ValuesIn(Damages), [](const auto& i) {
    std::string n = i.param.what;
    for (auto& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
});

// Damaged headers, cut files and garbage: findings, never a crash or a throw.
TEST(CheckerDamage, GarbageIsReportedNotFollowed)
{
    TempDir dir;
    std::vector<std::uint8_t> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 131 + 7);
    WriteAll(dir.path() / "G.DB", bytes);
    WriteAll(dir.path() / "G.PX", bytes);
    WriteAll(dir.path() / "G.X01", bytes);
    EXPECT_FALSE(ParadoxCheckFamily(dir.str(), "G.DB").ok());
    for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{0x58}, std::size_t{0x800}}) {
        std::vector<std::uint8_t> sample = ReadAll(SamplePath("pd-joins/C.DB"));
        sample.resize(std::min(cut, sample.size()));
        WriteAll(dir.path() / "C.DB", sample);
        EXPECT_FALSE(ParadoxCheckFamily(dir.str(), "C.DB").ok()) << cut;
        EXPECT_EQ(ParadoxCheckFamily(dir.str(), "C.DB", ParadoxCheckAccess::Map).text(),
                  ParadoxCheckFamily(dir.str(), "C.DB").text());
    }
    EXPECT_FALSE(ParadoxCheckFamily(dir.str(), "MISSING.DB").ok());
}

} // namespace
} // namespace morvane
