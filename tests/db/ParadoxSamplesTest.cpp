// Every sample table read through the database object, against values written from the
// format notes and against pxlib's reading of the same headers.

#include "db/ParadoxFieldTypes.h"
#include "db/TvxParadoxDatabase.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "ParadoxTestSupport.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <sys/stat.h>

namespace morvane {
namespace {

using test::PxOracle;
using test::SamplePath;

struct Expected
{
    const char* file;
    int level;
    int fields;
    int keyFields;
    int recordSize;
    int codePage;
    const char* languageDriver;
    int blockKb;
};

// From the format note and the samples' provenance; level 3 tables take driver and code page
// from their sort-order byte (0 = ascii/437, 0xC0 = cyrr/866).
const Expected samples[] = {
    {"pd-areas/AREACODE.DB", 3, 6, 0, 106, 437, "ascii", 1},
    {"pd-areas/STATES.DB", 3, 4, 1, 22, 437, "ascii", 1},
    {"pd-areas/ZIPCODES.DB", 4, 3, 1, 32, 437, "ascii", 2},
    {"pd-encrypt/encrypted.db", 5, 2, 0, 34, 850, "ascii", 2},
    {"pd-encrypt/encrypted35.db", 3, 2, 0, 38, 437, "ascii", 2},
    {"pd-encrypt/encryptedmemo.db", 4, 1, 0, 250, 1252, "ANSII850", 2},
    {"pd-fields/bcd.db", 5, 3, 0, 51, 850, "ascii", 2},
    {"pd-fields/bytes.db", 5, 1, 0, 255, 850, "ascii", 2},
    {"pd-fields/date35.db", 3, 1, 0, 4, 437, "ascii", 2},
    {"pd-fields/date4.db", 4, 1, 0, 4, 850, "ascii", 2},
    {"pd-fields/date5.db", 5, 2, 0, 8, 850, "ascii", 2},
    {"pd-fields/date7.db", 5, 2, 0, 8, 850, "ascii", 2},
    {"pd-fields/fmemo.db", 5, 2, 1, 14, 850, "ascii", 2},
    {"pd-fields/graphic.db", 5, 3, 1, 17, 850, "ascii", 2},
    {"pd-fields/graphic240.db", 5, 2, 1, 254, 850, "ascii", 2},
    {"pd-fields/logical.db", 5, 1, 0, 1, 1252, "ANSII850", 2},
    {"pd-fields/long.db", 5, 2, 1, 8, 850, "ascii", 2},
    {"pd-fields/memo.db", 5, 2, 1, 254, 850, "ascii", 2},
    {"pd-fields/ole.db", 5, 2, 1, 14, 850, "ascii", 2},
    {"pd-fields/time.db", 5, 1, 0, 4, 1252, "DBWINWE0", 2},
    {"pd-fields/timestamp.db", 5, 1, 0, 8, 850, "ascii", 2},
    {"pd-joins/A.db", 5, 1, 1, 4, 1252, "ANSII850", 2},
    {"pd-joins/B.db", 5, 1, 1, 4, 1252, "ANSII850", 2},
    {"pd-joins/C.DB", 5, 3, 1, 12, 1252, "ANSII850", 2},
    {"pd-joins/case.db", 4, 1, 0, 10, 1252, "ANSII850", 2},
    {"pd-joins/destination.db", 5, 2, 0, 54, 850, "ascii", 2},
    {"pd-joins/fk1.db", 5, 2, 1, 8, 850, "ascii", 2},
    {"pd-joins/fk2.db", 5, 2, 1, 8, 850, "ascii", 2},
    {"pd-joins/fk3.db", 5, 3, 1, 12, 850, "ascii", 2},
    {"pd-joins/fk4.db", 5, 4, 1, 15, 850, "ascii", 2},
    {"pd-joins/indexed.db", 7, 1, 0, 4, 1252, "ANSII850", 2},
    {"pd-joins/joina.db", 4, 1, 0, 2, 1252, "DBWINWE0", 2},
    {"pd-joins/joinb.db", 4, 1, 0, 2, 1252, "DBWINWE0", 2},
    {"pd-joins/multiple.db", 5, 4, 1, 32, 850, "ascii", 2},
    {"pd-joins/origin.db", 5, 2, 0, 8, 850, "ascii", 2},
    {"pd-joins/paradox-ascii.db", 4, 1, 0, 20, 850, "ascii", 2},
    {"pd-joins/primary.db", 5, 2, 1, 54, 850, "ascii", 2},
    {"pd-joins/to_multiple.db", 5, 2, 1, 8, 850, "ascii", 2},
    {"pd-joins/two.db", 5, 3, 2, 11, 850, "ascii", 2},
    {"rparadox-extdata/TypSammlung.DB", 7, 14, 2, 366, 1252, "ANSIINTL", 2},
    {"rparadox-extdata/biolife.db", 4, 8, 1, 179, 437, "ascii", 2},
    {"rparadox-extdata/country.db", 4, 5, 1, 88, 850, "intl850", 2},
    {"rparadox-extdata/empty.db", 7, 7, 0, 135, 1252, "ANSIINTL", 2},
    {"rparadox-extdata/mushrooms.db", 7, 7, 0, 135, 1252, "ANSIINTL", 2},
    {"rparadox-extdata/of.db", 3, 19, 0, 277, 866, "cyrr", 2},
    {"rparadox-extdata/of_cp866.db", 4, 19, 0, 277, 866, "cyrr", 2},
};

// Disk type code -> physical engine code (format note, table of field types).
const std::map<int, int> engineCodeOfDiskType = {
    {0x01, 257}, {0x06, 258}, {0x05, 259}, {0x02, 260}, {0x03, 261}, {0x0C, 262}, {0x0D, 263}, {0x0E, 264},
    {0x0F, 265}, {0x10, 266}, {0x04, 267}, {0x14, 268}, {0x15, 269}, {0x09, 270}, {0x16, 271}, {0x18, 272},
    {0x17, 273}};

std::pair<std::string, std::string> splitPath(const std::string& relative)
{
    const std::string full = SamplePath(relative);
    const auto slash = full.rfind('/');
    return {full.substr(0, slash), full.substr(slash + 1)};
}

std::shared_ptr<const std::vector<std::string>> passwords(std::vector<std::string> list = {"123"})
{
    return std::make_shared<const std::vector<std::string>>(std::move(list));
}

class ParadoxSample : public ::testing::TestWithParam<Expected>
{
};

TEST_P(ParadoxSample, PropertiesAndFieldsMatchTheNotesAndPxlib)
{
    const Expected& e = GetParam();
    const auto [dir, file] = splitPath(e.file);
    TvxParadoxDatabase db(dir, passwords());
    const TvxCursorProps props = db.ReadTableProperties(file);
    const std::vector<TvxFieldDesc> fields = db.ReadFieldDescriptors(file);

    EXPECT_EQ(props.tableName(), file);
    EXPECT_EQ(props.tableType(), "PARADOX");
    EXPECT_EQ(props.tableLevel(), e.level);
    EXPECT_EQ(props.fieldCount(), e.fields);
    EXPECT_EQ(props.recordSize(), e.recordSize);
    EXPECT_EQ(props.codePage(), e.codePage);
    EXPECT_EQ(props.languageDriver(), e.languageDriver);
    EXPECT_EQ(props.blockSizeKb(), e.blockKb);
    EXPECT_EQ(props.isProtected(), std::string(e.file).starts_with("pd-encrypt/"));
    ASSERT_EQ(fields.size(), static_cast<std::size_t>(e.fields));
    const std::vector<TvxIndexDesc> indexes = db.ReadIndexDescriptors(file);
    const int primaryKeys = !indexes.empty() && indexes[0].primary() ? indexes[0].keyFieldCount() : 0;
    EXPECT_EQ(primaryKeys, e.keyFields);
    EXPECT_EQ(props.indexCount(), static_cast<int>(indexes.size()));

    const PxOracle px = PxOracle::Read(SamplePath(e.file));
    ASSERT_TRUE(px.opened);
    EXPECT_EQ(px.recordSize, props.recordSize());
    EXPECT_EQ(px.numFields, props.fieldCount());
    EXPECT_EQ(px.keyFields, e.keyFields);
    EXPECT_EQ(px.fileVersion / 10, e.level == 3 ? 3 : e.level);
    if (e.level > 3) {
        EXPECT_EQ(px.codePage, props.codePage());
    }
    ASSERT_EQ(px.fields.size(), fields.size());
    int offset = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE("field " + std::to_string(i + 1));
        const auto& f = fields[i];
        const auto& p = px.fields[i];
        EXPECT_EQ(f.fieldNumber(), static_cast<int>(i) + 1);
        EXPECT_EQ(f.name(), p.name);
        ASSERT_TRUE(engineCodeOfDiskType.count(p.type));
        EXPECT_EQ(f.type(), engineCodeOfDiskType.at(p.type));
        EXPECT_EQ(f.offset(), offset);
        if (f.type() == 273) {
            EXPECT_EQ(f.length(), 17);
            EXPECT_EQ(f.units1(), 32);
            EXPECT_EQ(f.units2(), p.decimals);
        } else if (f.type() >= 262 && f.type() <= 266) {
            EXPECT_EQ(f.length(), p.length);
            EXPECT_EQ(f.units1(), p.length - 10);
        } else {
            EXPECT_EQ(f.length(), p.length);
            EXPECT_EQ(f.units1(), f.type() == 257 || f.type() == 272 ? p.length : 0);
            EXPECT_EQ(f.units2(), 0);
        }
        offset += f.length();
    }
    EXPECT_EQ(offset, props.recordSize());
}

INSTANTIATE_TEST_SUITE_P(AllSampleTables, ParadoxSample, ::testing::ValuesIn(samples),
                         [](const ::testing::TestParamInfo<Expected>& info) {
                             std::string n = info.param.file;
                             for (auto& c : n)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(ParadoxSamples, EveryFamilyFileHeaderAgreesWithPxlib)
{
    int checked = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SamplePath(""))) {
        std::string ext = entry.path().extension().string();
        for (auto& c : ext)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (ext != ".DB" && ext != ".PX" && !ext.starts_with(".X") && !ext.starts_with(".Y"))
            continue;
        SCOPED_TRACE(entry.path().string());
        const auto bytes = test::ReadAll(entry.path().string());
        const ParadoxTableHeader h = ParseParadoxHeader(bytes.data(), bytes.size(), bytes.size(), entry.path());
        const PxOracle px = PxOracle::Read(entry.path().string());
        ASSERT_TRUE(px.opened);
        EXPECT_EQ(static_cast<int>(h.fileType), px.fileType);
        EXPECT_EQ(h.recordSize, px.recordSize);
        EXPECT_EQ(h.headerSize, px.headerSize);
        EXPECT_EQ(h.blockSizeKb, px.blockSizeKb);
        EXPECT_EQ(h.numRecords, static_cast<std::uint32_t>(px.numRecords));
        EXPECT_EQ(h.numFields, px.numFields);
        EXPECT_EQ(h.sortOrder, px.sortOrder);
        if (h.isTable()) {
            EXPECT_EQ(h.passwordKey(), px.encryption);
            EXPECT_EQ(static_cast<int>(h.autoInc), px.autoInc);
        }
        ASSERT_EQ(h.fields.size(), px.fields.size());
        for (std::size_t i = 0; i < h.fields.size(); ++i) {
            EXPECT_EQ(h.fields[i].type, px.fields[i].type);
            if (h.hasNames()) {
                EXPECT_EQ(h.fields[i].name, px.fields[i].name);
            }
        }
        EXPECT_TRUE(h.pointersAgree);
        ++checked;
    }
    EXPECT_GE(checked, 80);
}

TEST(ParadoxSamples, AllFieldTypesOfALevel7Table)
{
    TvxParadoxDatabase db(SamplePath("rparadox-extdata"), passwords({}));
    const auto fields = db.ReadFieldDescriptors("TypSammlung.DB");
    ASSERT_EQ(fields.size(), 14u);
    std::map<int, int> count;
    for (const auto& f : fields)
        ++count[f.type()];
    // Fourteen common types: every type but Graphic, OLE and Formatted memo.
    for (int code : {257, 258, 259, 260, 261, 262, 263, 267, 268, 269, 270, 271, 272, 273})
        EXPECT_EQ(count[code], 1) << code;
    // German names in Windows-1252, as the file holds them.
    bool sawUmlaut = false;
    for (const auto& f : fields)
        sawUmlaut = sawUmlaut || f.name().find('\xE4') != std::string::npos;
    EXPECT_TRUE(sawUmlaut);
}

TEST(ParadoxSamples, BlobAndBcdUnits)
{
    TvxParadoxDatabase db(SamplePath("pd-fields"), passwords({}));
    const auto graphic = db.ReadFieldDescriptors("graphic240.db");
    EXPECT_EQ(graphic[1].type(), 266);
    EXPECT_EQ(graphic[1].units1(), 240);
    EXPECT_EQ(graphic[1].length(), 250);
    const auto bcd = db.ReadFieldDescriptors("bcd.db");
    ASSERT_EQ(bcd.size(), 3u);
    EXPECT_EQ(bcd[0].units2(), 2);
    EXPECT_EQ(bcd[1].units2(), 0);
    EXPECT_EQ(bcd[2].units2(), 32);
    EXPECT_EQ(bcd[2].offset(), 34);
}

std::int32_t civilDayNumber(int y, int m, int d)
{
    // Days since 1 January of year 1 (that day = 1), proleptic Gregorian.
    y -= m <= 2;
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 306 + 1;
}

TEST(ParadoxSamples, TableListOfADirectory)
{
    TvxParadoxDatabase db(SamplePath("pd-joins"), passwords({}));
    const auto list = db.ListTables("*.db");
    ASSERT_EQ(list.size(), 18u);
    for (std::size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1].tableName() + "." + list[i - 1].extension(),
                  list[i].tableName() + "." + list[i].extension());
    const auto c = std::find_if(list.begin(), list.end(), [](const auto& r) { return r.tableName() == "C"; });
    ASSERT_NE(c, list.end());
    EXPECT_EQ(c->fileName(), "C");
    EXPECT_EQ(c->extension(), "DB");
    EXPECT_EQ(c->tableType(), "PARADOX");
    EXPECT_EQ(c->size(), 4096);
    struct stat st {};
    ASSERT_EQ(::stat(SamplePath("pd-joins/C.DB").c_str(), &st), 0);
    std::tm local{};
    ::localtime_r(&st.st_mtime, &local);
    EXPECT_EQ(c->fileDate(), civilDayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    EXPECT_EQ(c->fileTime() / 1000, local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    // "*.db" matches any letter case; other patterns narrow the list.
    EXPECT_EQ(db.ListTables("f*.DB").size(), 4u);
    EXPECT_TRUE(db.ListTables("*.xyz").empty());
}

TEST(ParadoxSamples, FieldTypeListOfTheDriver)
{
    const auto types = ParadoxFieldTypes();
    ASSERT_EQ(types.size(), 17u);
    const char* names[] = {"ALPHA", "NUMBER", "MONEY",   "DATE", "SHORT",     "MEMO",    "BINARY",  "FMTMEMO", "OLE",
                           "GRAPHIC", "LONG", "TIME", "TIMESTAMP", "LOGICAL", "AUTOINC", "BYTES", "BCD"};
    for (std::size_t i = 0; i < types.size(); ++i) {
        EXPECT_EQ(types[i].typeCode(), 257 + static_cast<int>(i));
        EXPECT_EQ(types[i].name(), names[i]);
    }
    auto limits = [&](int code) {
        const auto& t = types[static_cast<std::size_t>(code - 257)];
        return std::vector<int>{t.minUnits1(), t.maxUnits1(), t.minUnits2(), t.maxUnits2()};
    };
    EXPECT_EQ(limits(257), (std::vector<int>{1, 255, 0, 0}));
    EXPECT_EQ(limits(272), (std::vector<int>{1, 255, 0, 0}));
    EXPECT_EQ(limits(262), (std::vector<int>{1, 240, 0, 0}));
    for (int blob : {263, 264, 265, 266})
        EXPECT_EQ(limits(blob), (std::vector<int>{0, 240, 0, 0}));
    EXPECT_EQ(limits(273), (std::vector<int>{32, 32, 0, 32}));
    EXPECT_EQ(limits(258), (std::vector<int>{0, 0, 0, 0}));
}

TEST(ParadoxSamples, TableNamesKeepTheirBytesWhateverTablesWereRead)
{
    // A table name with a non-ASCII byte, read after tables of code pages 850 and 866: the
    // name handed out by the table list must still open the table.
    test::TempDir dir;
    dir.copySamples({"rparadox-extdata/country.db", "rparadox-extdata/of_cp866.db"});
    test::WriteAll(dir.path() / "z\xC3\xA9.db", test::ReadAll(SamplePath("pd-joins/A.db")));
    TvxParadoxDatabase db(dir.str(), passwords({}));
    const auto list = db.ListTables("*.db");
    ASSERT_EQ(list.size(), 3u);
    for (const auto& rec : list) {
        const std::string name = db.NativeToAnsi(rec.tableName()) + "." + db.NativeToAnsi(rec.extension());
        EXPECT_EQ(db.ReadTableProperties(name).tableName(), name);
    }
    EXPECT_EQ(list[2].tableName(), "z\xC3\xA9");
    EXPECT_EQ(db.AnsiToNative("Caf\xE9"), "Caf\xE9");
}

} // namespace
} // namespace morvane
