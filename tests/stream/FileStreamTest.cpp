#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "stream/EvxStreamError.h"
#include "stream/TReader.h"
#include "stream/TWriter.h"
#include "stream/TvxFileStream.h"
#include "support/TempDir.h"

using namespace morvane;
namespace fs = std::filesystem;

namespace {
class FileStreamTest : public ::testing::Test
{
protected:
    test::TempDir temp_;
    const fs::path& dir_ = temp_.path();
};
} // namespace

TEST_F(FileStreamTest, CreateWriteReopenRead)
{
    const std::string name = (dir_ / "a.bin").string();
    {
        TvxFileStream f(name, TvxFileStream::Mode::Create);
        TWriter w(f);
        w.PutString("CLI");
        w.PutInteger(300);
        w.Flush();
        EXPECT_EQ(f.Size(), 8);
    }
    EXPECT_EQ(fs::file_size(name), 8u);
    {
        // Create empties an existing file.
        TvxFileStream f(name, TvxFileStream::Mode::OpenRead);
        TReader r(f);
        EXPECT_EQ(r.GetString(), "CLI");
        EXPECT_EQ(r.GetInteger(), 300);
    }
    {
        TvxFileStream f(name, TvxFileStream::Mode::Create);
        EXPECT_EQ(f.Size(), 0);
    }
}

TEST_F(FileStreamTest, OpenAndCreateFailuresNameTheFile)
{
    const std::string missing = (dir_ / "missing.vxscript").string();
    try {
        TvxFileStream f(missing, TvxFileStream::Mode::OpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    const std::string inMissingDir = (dir_ / "no" / "x.vxscript").string();
    try {
        TvxFileStream f(inMissingDir, TvxFileStream::Mode::Create);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + inMissingDir);
    }
    EXPECT_THROW(TvxFileStream(dir_.string(), TvxFileStream::Mode::OpenRead), EFOpenError);
}

TEST_F(FileStreamTest, ReaderOnAFileHandsBackUnreadBytes)
{
    const std::string name = (dir_ / "b.bin").string();
    {
        TvxFileStream f(name, TvxFileStream::Mode::Create);
        {
            TWriter w(f);
            w.PutInteger(1);
        }
        {
            TWriter w(f);
            w.PutString(std::string(3000, 'z'));
        }
    }
    TvxFileStream f(name, TvxFileStream::Mode::OpenRead);
    {
        TReader r(f);
        EXPECT_EQ(r.GetInteger(), 1);
    }
    EXPECT_EQ(f.Position(), 2);
    TReader r(f);
    EXPECT_EQ(r.GetString(), std::string(3000, 'z'));
}
