#include <gtest/gtest.h>

#include <vector>

#include "script/TvxUpdateFileVersion.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"

using namespace morvane;

namespace {
using Bytes = std::vector<std::uint8_t>;
const Bytes kStrings{6, 7, 'M', 'o', 'r', 'v', 'a', 'n', 'e', 6, 3, '1', '.', '0'};

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

TEST(Header, BytesOfEachHeaderClass)
{
    TvxMemoryStream custom;
    TvxCustomVersion("Morvane", "1.0").WriteTo(custom);
    EXPECT_EQ(custom.Bytes(), kStrings);

    TvxMemoryStream doc;
    TvxScriptFileVersion("Morvane", "1.0", fkScriptDocument).WriteTo(doc);
    EXPECT_EQ(doc.Bytes(), Concat(kStrings, {2, 0}));

    TvxMemoryStream update;
    TvxUpdateFileVersion("Morvane", "1.0", fkUpdateScript).WriteTo(update);
    EXPECT_EQ(update.Bytes(), Concat(kStrings, {2, 1, 8}));

    TvxMemoryStream maint;
    TvxUpdateFileVersion("Morvane", "1.0", fkMaintenanceScript, true).WriteTo(maint);
    EXPECT_EQ(maint.Bytes(), Concat(kStrings, {2, 2, 9}));
}

// Reading through the update-file header reads the strings and the kind, never the flag, and
// leaves the stream right after what it read.
TEST(Header, ReadingStopsAfterTheFileKind)
{
    TvxMemoryStream ms(Concat(kStrings, {2, 1, 8, 2, 0}));
    TvxUpdateFileVersion h;
    h.ReadFrom(ms);
    EXPECT_EQ(h.AppName, "Morvane");
    EXPECT_EQ(h.Version, "1.0");
    EXPECT_EQ(h.FileKind, 1);
    EXPECT_FALSE(h.Flag);
    EXPECT_EQ(ms.Position(), static_cast<std::int64_t>(kStrings.size() + 2));
}

TEST(Header, OtherStringsAndKindsAreReadOn)
{
    TvxMemoryStream ms(Bytes{6, 3, 'X', 'Y', 'Z', 6, 0, 3, 0x10, 0x27});
    TvxScriptFileVersion h;
    h.ReadFrom(ms);
    EXPECT_EQ(h.AppName, "XYZ");
    EXPECT_EQ(h.Version, "");
    EXPECT_EQ(h.FileKind, 10000);
}

TEST(Header, DamagedHeaders)
{
    {
        TvxMemoryStream ms(Bytes{6, 7, 'M', 'o'});
        TvxScriptFileVersion h;
        h.AppName = "keep";
        try {
            h.ReadFrom(ms);
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_EQ(h.AppName, "keep");
    }
    {
        TvxMemoryStream ms(Concat(kStrings, {6, 0}));
        TvxScriptFileVersion h;
        try {
            h.ReadFrom(ms);
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Invalid property value");
            EXPECT_EQ(e.Offset(), static_cast<std::int64_t>(kStrings.size()));
        }
    }
}
