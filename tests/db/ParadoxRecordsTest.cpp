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
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <random>

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

// Position of the first nibble that is not a digit (32: none).
int bcdFirstNonDigit(const std::string& raw)
{
    const bool negative = (static_cast<unsigned char>(raw[0]) & 0x80) == 0;
    for (int k = 0; k < 32; ++k) {
        int nibble = (static_cast<unsigned char>(raw[1 + k / 2]) >> (k % 2 ? 0 : 4)) & 0x0F;
        if (negative)
            nibble ^= 0x0F;
        if (nibble > 9)
            return k;
    }
    return 32;
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
            const bool present = f.px_ftype == pxfBCD && v.raw[0] != 0 && !allZero(v.raw.substr(1));
            // No sound leading digit: damaged; sound leading digits and a tail past them: read
            // up to the tail (pxlib prints the tail), not damaged.
            const bool damaged = present && bcdFirstNonDigit(v.raw) == 0;
            const bool imprecise = present && !damaged && bcdFirstNonDigit(v.raw) < 32;
            damagedBcd = damagedBcd || damaged;
            SCOPED_TRACE("field " + std::to_string(i + 1));
            if (imprecise)
                EXPECT_FALSE(ours.records[r][i].isBlank());
            else if (v.got == 2)
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

// Tables written through pxlib from random values (blanks included) with every block size
// and with a password: our reader gives back exactly the values written.
struct Written
{
    std::vector<TvxRecord> records;
};

void putInt(char* p, std::int64_t v, int bytes)
{
    auto u = static_cast<std::uint64_t>(v);
    for (int i = bytes - 1; i >= 0; --i, u >>= 8)
        p[i] = static_cast<char>(u & 0xFF);
    p[0] = static_cast<char>(p[0] ^ 0x80);
}

void putDouble(char* p, double d)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, 8);
    bits = (bits >> 63) ? ~bits : (bits | (1ULL << 63));
    for (int i = 7; i >= 0; --i, bits >>= 8)
        p[i] = static_cast<char>(bits & 0xFF);
}

// cents: the value in hundredths; a BCD with 2 decimals and its text.
std::string putBcd(char* p, std::int64_t cents)
{
    const bool negative = cents < 0;
    std::uint64_t u = negative ? static_cast<std::uint64_t>(-cents) : static_cast<std::uint64_t>(cents);
    std::string digits = std::to_string(u);
    std::memset(p, 0, 17);
    p[0] = static_cast<char>((negative ? 0x40 : 0xC0) | 2);
    for (int nibble = 31; nibble >= 0 && u > 0; --nibble, u /= 10) {
        const int digit = static_cast<int>(u % 10);
        p[1 + nibble / 2] = static_cast<char>(p[1 + nibble / 2] | ((nibble % 2) ? digit : digit << 4));
    }
    if (negative)
        for (int i = 1; i < 17; ++i)
            p[i] = static_cast<char>(~p[i]);
    while (digits.size() < 3)
        digits.insert(0, "0");
    std::string text =
        (negative ? "-" : "") + digits.substr(0, digits.size() - 2) + "." + digits.substr(digits.size() - 2);
    return text;
}

Written writeRandomTable(const std::string& path, int blockKb, const char* password, int records, std::mt19937& rng)
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler noLeakCheck; // pxlib keeps some of its allocations
#endif
    struct Spec
    {
        const char* name;
        char type;
        int len;
        int dec;
    };
    const Spec specs[] = {{"Name", pxfAlpha, 37, 0},  {"Qty", pxfShort, 2, 0},       {"Count", pxfLong, 4, 0},
                          {"Price", pxfNumber, 8, 0}, {"Amount", pxfCurrency, 8, 0}, {"Day", pxfDate, 4, 0},
                          {"At", pxfTime, 4, 0},      {"Stamp", pxfTimestamp, 8, 0}, {"Paid", pxfLogical, 1, 0},
                          {"Exact", pxfBCD, 17, 2},   {"Tag", pxfBytes, 6, 0},       {"Id", pxfAutoInc, 4, 0}};
    const int n = static_cast<int>(std::size(specs));
    auto* fields = static_cast<pxfield_t*>(std::calloc(static_cast<std::size_t>(n), sizeof(pxfield_t)));
    int recordSize = 0;
    for (int i = 0; i < n; ++i) {
        fields[i] = {strdup(specs[i].name), specs[i].type, specs[i].len, specs[i].dec};
        recordSize += specs[i].len;
    }
    pxdoc_t* px = PX_new2([](pxdoc_t*, int, const char*, void*) {}, nullptr, nullptr, nullptr);
    Written w;
    if (PX_create_file(px, fields, n, path.c_str(), pxfFileTypNonIndexDB) < 0) {
        PX_delete(px);
        return w;
    }
    px->px_head->px_maxtablesize = blockKb;
    if (password)
        PX_set_parameter(px, "password", password);
    std::vector<char> rec(static_cast<std::size_t>(recordSize));
    const auto blank = [&] { return rng() % 8 == 0; };
    for (int r = 0; r < records; ++r) {
        std::fill(rec.begin(), rec.end(), 0);
        TvxRecord expected(static_cast<std::size_t>(n));
        char* p = rec.data();
        if (!blank()) {
            std::string text(1 + rng() % 37, 'a');
            for (auto& c : text)
                c = static_cast<char>(0x20 + rng() % 0xDF); // any byte but NUL
            std::memcpy(p, text.data(), text.size());
            expected[0] = TvxFieldValue::Bytes(text);
        }
        p += 37;
        if (!blank()) {
            const auto v = static_cast<std::int16_t>(rng());
            putInt(p, v, 2);
            expected[1] = TvxFieldValue::Integer(v);
        }
        p += 2;
        if (!blank()) {
            const auto v = static_cast<std::int32_t>(rng());
            putInt(p, v, 4);
            expected[2] = TvxFieldValue::Integer(v);
        }
        p += 4;
        for (int k = 3; k <= 4; ++k, p += 8)
            if (!blank()) {
                const double v = (static_cast<double>(rng()) - 2147483648.0) / (1 + rng() % 1000);
                putDouble(p, v);
                expected[static_cast<std::size_t>(k)] = TvxFieldValue::Float(v);
            }
        if (!blank()) {
            const auto v = static_cast<std::int32_t>(1 + rng() % 3652059);
            putInt(p, v, 4);
            expected[5] = TvxFieldValue::Date(v);
        }
        p += 4;
        if (!blank()) {
            const auto v = static_cast<std::int32_t>(rng() % 86400000);
            putInt(p, v, 4);
            expected[6] = TvxFieldValue::Time(v);
        }
        p += 4;
        if (!blank()) {
            const double v = 86400000.0 * (1 + rng() % 3652059) + rng() % 86400000;
            putDouble(p, v);
            expected[7] = TvxFieldValue::Timestamp(v);
        }
        p += 8;
        if (!blank()) {
            const bool v = rng() % 2;
            *p = static_cast<char>(v ? 0x81 : 0x80);
            expected[8] = TvxFieldValue::Logical(v);
        }
        p += 1;
        if (!blank()) {
            const std::int64_t cents = static_cast<std::int64_t>(rng() % 2000000000) - 1000000000;
            expected[9] = TvxFieldValue::Bcd(putBcd(p, cents));
        }
        p += 17;
        if (!blank()) {
            std::string bytes(6, '\0');
            for (auto& c : bytes)
                c = static_cast<char>(rng());
            bytes[0] = 1;
            std::memcpy(p, bytes.data(), 6);
            expected[10] = TvxFieldValue::Bytes(bytes);
        }
        p += 6;
        putInt(p, r + 1, 4);
        expected[11] = TvxFieldValue::Integer(r + 1);
        if (PX_put_record(px, rec.data()) < 0)
            break;
        w.records.push_back(std::move(expected));
    }
    PX_close(px);
    PX_delete(px);
    return w;
}

TEST(GeneratedRecords, EveryBlockSizeAndPasswordReadBackExactly)
{
    std::mt19937 rng(4242);
    test::TempDir dir;
    struct Case
    {
        int blockKb;
        const char* password;
        int records;
    };
    for (const Case c : {Case{1, nullptr, 300}, Case{2, nullptr, 400}, Case{3, "secret", 500}, Case{4, nullptr, 500},
                         Case{16, nullptr, 900}, Case{32, "secret", 1500}}) {
        SCOPED_TRACE("block size " + std::to_string(c.blockKb) + " KiB");
        const std::string path = dir.file("T" + std::to_string(c.blockKb) + ".DB");
        const Written w = writeRandomTable(path, c.blockKb, c.password, c.records, rng);
        ASSERT_EQ(w.records.size(), static_cast<std::size_t>(c.records));
        ParadoxRecordReader reader(ParadoxFileSource::Open(path), nullptr,
                                   c.password ? ParadoxPasswordChecksum(c.password) : 0);
        ASSERT_EQ(reader.Header().blockSizeKb, c.blockKb);
        ASSERT_EQ(reader.Header().passwordKey() != 0, c.password != nullptr);
        TvxRecord rec;
        std::size_t n = 0;
        while (reader.Next(rec)) {
            ASSERT_LT(n, w.records.size());
            for (std::size_t i = 0; i < rec.size(); ++i)
                ASSERT_TRUE(rec[i] == w.records[n][i]) << "record " << n + 1 << ", field " << i + 1;
            ++n;
        }
        EXPECT_EQ(n, w.records.size());
    }
}

} // namespace
} // namespace morvane
