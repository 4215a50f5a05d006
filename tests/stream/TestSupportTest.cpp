// The shared test helpers: a missing sample fails the test naming it instead of crashing it
// later; a temporary directory goes with its contents.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "support/SamplePath.h"
#include "support/TempDir.h"

using namespace morvane;

TEST(TestSupport, AMissingSampleFailsTheTestNamingIt)
{
    EXPECT_NONFATAL_FAILURE(EXPECT_THROW(test::SamplePath("pd-joins/FALTA.DB"), std::runtime_error),
                            "tests/data/paradox/pd-joins/FALTA.DB");
    EXPECT_TRUE(std::filesystem::is_directory(test::SamplePath("pd-joins")));
}

TEST(TestSupport, TempDirGoesWithItsContents)
{
    std::filesystem::path kept;
    {
        test::TempDir dir;
        kept = dir.path();
        dir.write("sub/a.bin", std::string("\0x", 2));
        EXPECT_EQ(dir.read("sub/a.bin"), std::string("\0x", 2));
        dir.copySamples({"pd-joins/C.DB"});
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "C.DB"));
    }
    EXPECT_FALSE(kept.empty());
    EXPECT_FALSE(std::filesystem::exists(kept));
}
