// Alpha keys as each language driver orders and folds them, and what the writer makes of them:
// folded case-insensitive entries, an order kept or warned about, code page 0, BCD tails, the
// letter case of family files.

#include "db/paradox/ParadoxCollation.h"

#include "db/paradox/ParadoxFamilyChecker.h"
#include "db/paradox/ParadoxKeyOrder.h"
#include "db/paradox/ParadoxLayout.h"
#include "db/paradox/ParadoxTable.h"
#include "model/vxCodePage.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "ParadoxWriterTestSupport.h"
#include "support/TempDir.h"

namespace morvane {
namespace {

using namespace test;
namespace fs = std::filesystem;

struct OrderCase
{
    const char* driver;
    const char* a; // Windows-1252 bytes
    const char* b;
    bool fold;
    int sign;         // a against b
    bool established; // the driver's order between them is known
};

TEST(ParadoxCollation, EachDriverOrdersAndFoldsAsTheEnginesFilesShow)
{
    const OrderCase cases[] = {
        {"ascii", "Cryptomonas CR", "Cryptomonas Cloern", false, -1, true},
        {"ascii", "Peri Hi-Nut", "Peri High-Nut", false, -1, true},
        {"ascii", " 13.5", "01", false, -1, true},
        {"ascii", "abc", "ABD", true, -1, true},
        {"DBWINUS0", "Kkkkkk", "blank", false, -1, true},
        {"DBWINUS0", "\xC1MBAR",
         "\xE1"
         "cido",
         true, -1, true}, // only a-z fold: 0xC1 < 0xE1
        {"DBWINUS0", "Z", "\xC7", false, -1, true},
        {"ANSII850", "A\xC7UCAR", "ARROZ", false, -1, true},
        {"ANSII850", "MIOJO", "\xD3LEO", false, -1, true},
        {"ANSII850", "\xD3LEO", "SABAO", false, -1, true},
        {"ANSII850", "a\xE7ucar", "ARROZ", true, -1, true}, // Latin-1 folds: AÇUCAR
        {"ANSII850", "a", "B", false, 1, false},            // small letters: not established
        {"ANSIINTL", "ABC", "ABD", false, -1, true},
        {"ANSIINTL", "abc", "abd", false, -1, true},
        {"ANSIINTL", "\xC1rvore", "Abelha", false, 1, false},
        {"ANSIINTL", "a", "B", false, 1, false},
        {"nordan40", "\xC5", "W", false, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + ": " + c.a + " / " + c.b);
        const ParadoxKeyOrder order({{0, 20, c.fold, false, true}}, ParadoxCollation::ForDriver(c.driver));
        std::uint8_t a[20] = {};
        std::uint8_t b[20] = {};
        std::memcpy(a, c.a, std::strlen(c.a));
        std::memcpy(b, c.b, std::strlen(c.b));
        const int d = order.compare(a, b);
        EXPECT_EQ((d > 0) - (d < 0), c.sign);
        EXPECT_EQ(order.compare(b, a), -d);
        EXPECT_EQ(order.established(a, b), c.established);
    }
    const auto& dbwin = ParadoxCollation::ForDriver("dbwinus0");
    const auto& ansi850 = ParadoxCollation::ForDriver("ANSII850");
    EXPECT_EQ(dbwin.upper('z'), 'Z');
    EXPECT_EQ(dbwin.upper(0xE9), 0xE9); // é stays small
    EXPECT_EQ(ansi850.upper(0xE3), 0xC3);
    EXPECT_EQ(ansi850.upper(0xF7), 0xF7); // ÷ is no letter
}

TvxRecord row(const std::string& name, std::int64_t code)
{
    return {TvxFieldValue::Bytes(name), TvxFieldValue::Integer(code)};
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ParadoxCollation, CaseInsensitiveEntriesHoldTheDriversCapitals)
{
    TempDir dir;
    TvxTableDesc desc = MakeTable({{"Codigo", fldLong}, {"Nome", fldAlpha, 20}}, 1);
    desc.CursorProps().setLanguageDriver("DBWINUS0");
    auto indexes = desc.Indexes();
    indexes.push_back(SecondaryIndex("PorNome", {2}, true));
    desc.SetIndexes(indexes);
    VectorSource records({{TvxFieldValue::Integer(1), TvxFieldValue::Bytes("Com\xE9"
                                                                           "dia")},
                          {TvxFieldValue::Integer(2), TvxFieldValue::Bytes("\xE1"
                                                                           "cido")},
                          {TvxFieldValue::Integer(3), TvxFieldValue::Bytes("\xC1MBAR")}});
    const ParadoxWriteResult r = ParadoxWriteTable(desc, records, dir.str(), "FILMES");
    EXPECT_TRUE(r.warnings.empty());
    const std::string x = fileBytes(dir.file("FILMES.XG0"));
    EXPECT_NE(x.find("COM\xE9"
                     "DIA"),
              std::string::npos);
    EXPECT_EQ(x.find("Com\xE9"
                     "dia"),
              std::string::npos);
    // Byte order of the folded values: ÁMBAR (0xC1) before áCIDO (0xE1).
    EXPECT_LT(x.find("\xC1MBAR"), x.find("\xE1"
                                         "CIDO"));
    EXPECT_TRUE(ParadoxCheckFamily(dir.str(), "FILMES.DB").clean());
}

TEST(ParadoxCollation, AnOrderNobodyEstablishedIsKeptFromTheSourceOrWarnedAbout)
{
    TempDir dir;
    TvxTableDesc desc = MakeTable({{"Nome", fldAlpha, 12}, {"Codigo", fldLong}}, 1);
    desc.CursorProps().setLanguageDriver("ANSIINTL");
    // As the engine may have ordered them: Á among the A's, which byte order would not give.
    VectorSource kept({row("Abacate", 1), row("\xC1rvore", 2), row("Azul", 3), row("Bola", 4)});
    const ParadoxWriteResult a = ParadoxWriteTable(desc, kept, dir.str(), "KEPT");
    EXPECT_TRUE(a.warnings.empty());
    const auto back = ReadRecords(dir.path() / "KEPT.DB");
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[1][0].text(), "\xC1rvore");
    EXPECT_TRUE(ParadoxCheckFamily(dir.str(), "KEPT.DB").clean());

    // Out of any order (Bola before Abacate): sorted in byte order, and said.
    VectorSource sorted({row("Bola", 4), row("Abacate", 1), row("\xC1rvore", 2)});
    const ParadoxWriteResult b = ParadoxWriteTable(desc, sorted, dir.str(), "SORTED");
    ASSERT_EQ(b.warnings.size(), 1u);
    EXPECT_NE(b.warnings[0].find("primary key"), std::string::npos);
    EXPECT_NE(b.warnings[0].find("\"\xC3\x81rvore\""), std::string::npos); // the value, in UTF-8
    EXPECT_EQ(ReadRecords(dir.path() / "SORTED.DB").back()[0].text(), "\xC1rvore");
}

TEST(ParadoxCollation, CodePageZeroTakesTheDriversAndARewriteKeepsTheWord)
{
    TempDir dir;
    TvxTableDesc desc = MakeTable({{"Nome", fldAlpha, 8}}, 0, 4);
    desc.CursorProps().setLanguageDriver("BLROM800");
    desc.CursorProps().setCodePage(vxRoman8CodePage);
    VectorSource records({{TvxFieldValue::Bytes("\xEB\xF8\xBE\xF4")}});
    ParadoxWriteTable(desc, records, dir.str(), "ROMAN");
    const std::string db = fileBytes(dir.file("ROMAN.DB"));
    EXPECT_EQ(db[ParadoxHeader::CodePage], 0);
    EXPECT_EQ(db[ParadoxHeader::CodePage + 1], 0);

    const SourceTable source = ReadSourceTable(dir.str(), "ROMAN.DB");
    EXPECT_EQ(source.desc.CodePage(), vxRoman8CodePage);
    EXPECT_EQ(CodePageToUtf8("\xEB\xF8\xBE\xF4", source.desc.CodePage()), "\xC5\xA0\xC2\xBD\xC6\x92\xC2\xB6"); // Š½ƒ¶
    EXPECT_EQ(Utf8ToCodePage("\xC5\xA0\xC2\xBD\xC6\x92\xC2\xB6", vxRoman8CodePage), "\xEB\xF8\xBE\xF4");
    fs::create_directory(dir.path() / "copy");
    ParadoxWriteOptions options;
    options.carry = source.carry;
    VectorSource again({{TvxFieldValue::Bytes("x")}});
    ParadoxWriteTable(source.desc, again, (dir.path() / "copy").string(), "ROMAN", options);
    EXPECT_EQ(fileBytes((dir.path() / "copy" / "ROMAN.DB").string())[ParadoxHeader::CodePage], 0);
}

TEST(ParadoxCollation, BcdTailsReadUpToTheirFirstNonDigitAndADamagedValueCostsItsFieldOnly)
{
    TempDir dir;
    TvxTableDesc desc = MakeTable({{"Codigo", fldLong}, {"Valor", fldBcd, 0}}, 0, 7);
    std::vector<TvxFieldDesc> fields = desc.Fields();
    fields[1].setUnits2(4);
    desc.SetFields(fields);
    VectorSource records({{TvxFieldValue::Integer(1), TvxFieldValue::Bcd("12.5")},
                          {TvxFieldValue::Integer(2), TvxFieldValue::Bcd("7.25")},
                          {TvxFieldValue::Integer(3), TvxFieldValue::Bcd("1")}});
    ParadoxWriteTable(desc, records, dir.str(), "VALORES");
    std::string db = fileBytes(dir.file("VALORES.DB"));
    const std::size_t header = static_cast<std::uint8_t>(db[2]) | static_cast<std::uint8_t>(db[3]) << 8;
    const std::size_t recordBytes = 4 + 17;
    const auto bcd = [&](int record) { return header + ParadoxBlock::HeaderBytes + record * recordBytes + 4; };
    db[bcd(0) + 17 - 1] = '\xAB'; // a tail past 12.5's digits
    db[bcd(1) + 17 - 1] = '\xCD';
    db[bcd(2) + 1] = static_cast<char>(0xE0 | (db[bcd(2) + 1] & 0x0F)); // its first digit
    std::ofstream(dir.file("VALORES.DB"), std::ios::binary) << db;

    ParadoxRecordReader reader(ParadoxFileSource::Open(dir.file("VALORES.DB")), nullptr, 0);
    TvxRecord r;
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r[1].text(), "12.5000");
    ASSERT_TRUE(reader.Next(r));
    EXPECT_EQ(r[1].text(), "7.2500");
    EXPECT_THROW(reader.Next(r), EvxEngineError);
    EXPECT_TRUE(reader.Resumable());
    EXPECT_TRUE(r[1].isBlank());
    EXPECT_EQ(r[0].integer(), 3);
    const std::vector<std::string> notes = reader.TakeNotes();
    ASSERT_EQ(notes.size(), 1u); // once per field
    EXPECT_NE(notes[0].find("field 2 (Valor)"), std::string::npos);
}

TEST(ParadoxCollation, FamilyFilesKeepTheSourcesLetterCaseAndNewOnesAreCapitals)
{
    TempDir dir;
    TvxTableDesc desc = MakeTable({{"Codigo", fldLong}, {"Nome", fldAlpha, 8}}, 1);
    auto indexes = desc.Indexes();
    indexes.push_back(SecondaryIndex("PorNome", {2}, true));
    desc.SetIndexes(indexes);
    VectorSource none({});
    EXPECT_EQ(ParadoxWriteTable(desc, none, dir.str(), "NOVA").files,
              (std::vector<std::string>{"NOVA.DB", "NOVA.PX", "NOVA.XG0", "NOVA.YG0"}));
    ParadoxWriteOptions options;
    options.extensions = {{"DB", "db"}, {"PX", "PX"}, {"XG0", "XG0"}};
    VectorSource again({});
    EXPECT_EQ(ParadoxWriteTable(desc, again, dir.str(), "velha", options).files,
              (std::vector<std::string>{"velha.db", "velha.PX", "velha.XG0", "velha.yg0"}));
    options.extensions["YG0"] = "yg0";
    EXPECT_EQ(ParadoxFamilyExtensions(ParadoxWriterFiles::System(), dir.str(), "VELHA"), options.extensions);
}

} // namespace
} // namespace morvane
