// Records of every sample table read through our reader and, independently, through pxlib:
// every value of every non-blob field agrees; blob values are checked against the bytes of
// their own records (length, leader, picture headers); protected tables open only with
// their password.

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxRecordReader.h"
#include "db/paradox/ParadoxValue.h"
#include "db/TvxParadoxDatabase.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>

#include "ParadoxTestSupport.h"

namespace morvane {
namespace {

using test::SamplePath;
using Kind = TvxFieldValue::Kind;

const std::uint32_t SampleKey = ParadoxPasswordChecksum("123"); // pd-encrypt

std::string lower(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The .MB beside a .DB, any letter case.
std::unique_ptr<ParadoxByteSource> blobFileOf(const std::filesystem::path& db)
{
    for (const auto& e : std::filesystem::directory_iterator(db.parent_path()))
        if (lower(e.path().stem().string()) == lower(db.stem().string()) &&
            lower(e.path().extension().string()) == ".mb")
            return ParadoxFileSource::Open(e.path().string());
    return nullptr;
}

struct TableRead
{
    ParadoxTableHeader header;
    std::vector<TvxRecord> records;
    std::map<std::size_t, std::string> faults; // record index -> message of a damaged value
};

TableRead readTable(const std::string& path, std::uint32_t key)
{
    ParadoxRecordReader reader(ParadoxFileSource::Open(path), blobFileOf(path), key);
    TableRead out;
    out.header = reader.Header();
    TvxRecord rec;
    for (;;) {
        try {
            if (!reader.Next(rec))
                break;
        } catch (const EvxEngineError& e) {
            out.faults[out.records.size()] = e.what();
        }
        out.records.push_back(rec);
    }
    return out;
}

std::vector<std::string> sampleTables()
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(MORVANE_SAMPLES_DIR))
        if (lower(e.path().extension().string()) == ".db")
            out.push_back(std::filesystem::relative(e.path(), MORVANE_SAMPLES_DIR).string());
    std::sort(out.begin(), out.end());
    return out;
}

bool allZero(const std::string& raw)
{
    return std::all_of(raw.begin(), raw.end(), [](char c) { return c == 0; });
}

bool bcdHasNonDigit(const std::string& raw)
{
    const bool negative = (static_cast<unsigned char>(raw[0]) & 0x80) == 0;
    for (std::size_t i = 1; i < 17; ++i)
        for (int shift : {4, 0}) {
            int nibble = (static_cast<unsigned char>(raw[i]) >> shift) & 0x0F;
            if (negative)
                nibble ^= 0x0F;
            if (nibble > 9)
                return true;
        }
    return false;
}

// pxlib's BCD text as ours: no "." without decimals, no sign on zero.
std::string pxlibBcd(std::string text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos)
        text.erase(0, 1);
    return text;
}

void expectSame(const pxfield_t& f, const test::PxRecordOracle::Value& px, const TvxFieldValue& ours, bool damaged)
{
    bool blank =
        f.px_ftype == pxfAlpha || f.px_ftype == pxfLogical || f.px_ftype == pxfBCD ? px.raw[0] == 0 : allZero(px.raw);
    // A BCD without its "value present" bit and without digits (pxlib prints it as digits 0xF).
    if (f.px_ftype == pxfBCD && (px.raw[0] & 0x40) == 0 && allZero(px.raw.substr(1)))
        blank = true;
    if (blank || damaged) {
        // pxlib 0.6.8 reads a blank Long/Date as INT_MIN on 64-bit: the raw bytes decide.
        EXPECT_TRUE(ours.isBlank());
        return;
    }
    ASSERT_FALSE(ours.isBlank());
    switch (f.px_ftype) {
    case pxfAlpha:
        EXPECT_EQ(ours.kind(), Kind::Bytes);
        EXPECT_EQ(ours.text(), px.text);
        break;
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
        EXPECT_EQ(ours.kind(), Kind::Integer);
        EXPECT_EQ(ours.integer(), static_cast<std::int32_t>(px.integer));
        break;
    case pxfDate:
        EXPECT_EQ(ours.kind(), Kind::Date);
        EXPECT_EQ(ours.integer(), static_cast<std::int32_t>(px.integer));
        break;
    case pxfTime:
        EXPECT_EQ(ours.kind(), Kind::Time);
        EXPECT_EQ(ours.integer(), static_cast<std::int32_t>(px.integer));
        break;
    case pxfNumber:
    case pxfCurrency:
        EXPECT_EQ(ours.kind(), Kind::Float);
        EXPECT_EQ(ours.real(), px.real);
        break;
    case pxfTimestamp:
        EXPECT_EQ(ours.kind(), Kind::Timestamp);
        EXPECT_EQ(ours.real(), px.real);
        break;
    case pxfLogical:
        EXPECT_EQ(ours.kind(), Kind::Logical);
        EXPECT_EQ(ours.logical(), px.integer != 0);
        break;
    case pxfBCD:
        EXPECT_EQ(ours.kind(), Kind::Bcd);
        EXPECT_EQ(px.got, 1);
        EXPECT_EQ(ours.text(), pxlibBcd(px.text));
        break;
    case pxfBytes:
        EXPECT_EQ(ours.kind(), Kind::Bytes);
        EXPECT_EQ(ours.text(), px.raw);
        break;
    default:
        break;
    }
}

// A blob value against its own record: the length in the tail, the leader's bytes, and for
// pictures the length their bitmap header gives.
void expectBlob(const pxfield_t& f, const std::string& raw, const TvxFieldValue& ours)
{
    const std::size_t leader = raw.size() - ParadoxBlobTail::Bytes;
    const std::uint32_t length =
        ParadoxLe32(reinterpret_cast<const std::uint8_t*>(raw.data()) + leader + ParadoxBlobTail::Length);
    if (length == 0) {
        EXPECT_TRUE(ours.isBlank());
        return;
    }
    const bool framed = f.px_ftype == pxfGraphic || f.px_ftype == pxfOLE;
    ASSERT_EQ(ours.kind(), Kind::Bytes);
    ASSERT_EQ(ours.text().size(), framed ? length - 8 : length);
    EXPECT_EQ(ours.text().substr(0, leader), raw.substr(0, std::min<std::size_t>(leader, ours.text().size())));
    if (f.px_ftype == pxfGraphic) {
        ASSERT_GE(ours.text().size(), 6u);
        EXPECT_EQ(ours.text().substr(0, 2), "BM");
        EXPECT_EQ(ParadoxLe32(reinterpret_cast<const std::uint8_t*>(ours.text().data()) + 2), ours.text().size());
    }
}

class SampleRecords : public testing::TestWithParam<std::string>
{
};

TEST_P(SampleRecords, AgreeWithPxlibValueByValue)
{
    const std::string path = SamplePath(GetParam());
    const TableRead ours = readTable(path, SampleKey);
    const test::PxRecordOracle px = test::PxRecordOracle::Read(path);
    ASSERT_TRUE(px.opened);
    ASSERT_EQ(ours.records.size(), px.records.size());
    ASSERT_EQ(ours.records.size(), ours.header.numRecords);
    for (std::size_t r = 0; r < px.records.size(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r + 1));
        ASSERT_EQ(ours.records[r].size(), px.fields.size());
        bool damagedBcd = false;
        for (std::size_t i = 0; i < px.fields.size(); ++i) {
            const auto& f = px.fields[i];
            const auto& v = px.records[r][i];
            const bool damaged =
                f.px_ftype == pxfBCD && v.raw[0] != 0 && !allZero(v.raw.substr(1)) && bcdHasNonDigit(v.raw);
            damagedBcd = damagedBcd || damaged;
            SCOPED_TRACE("field " + std::to_string(i + 1));
            if (v.got == 2)
                expectBlob(f, v.raw, ours.records[r][i]);
            else
                expectSame(f, v, ours.records[r][i], damaged);
        }
        // A damaged value fails its record, naming the table, the record and the field.
        const auto fault = ours.faults.find(r);
        EXPECT_EQ(fault != ours.faults.end(), damagedBcd);
        if (fault != ours.faults.end()) {
            EXPECT_NE(fault->second.find("record " + std::to_string(r + 1) + ", field"), std::string::npos);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllSampleTables, SampleRecords, testing::ValuesIn(sampleTables()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             for (auto& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

} // namespace
} // namespace morvane
