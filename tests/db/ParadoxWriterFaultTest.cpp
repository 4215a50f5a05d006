// The writer under failing file-system calls: whichever call fails (creating the working
// directory, a file, a write, a flush, a rename into place), the target directory is left
// exactly as it was, also when the write was to replace a table there; without a failure the
// new family is in place. The directory a table is read from is never written.

#include "ParadoxTestSupport.h"
#include "ParadoxWriterTestSupport.h"
#include "db/paradox/ParadoxFamilyChecker.h"

#include <gtest/gtest.h>

#include <map>

namespace morvane {
namespace {

using namespace test;
namespace fs = std::filesystem;

// Fails exactly the failAt-th call (1-based; 0: none) with an injected write error.
class FailingFiles : public ParadoxWriterFiles
{
public:
    explicit FailingFiles(int failAt) : failAt_(failAt) {}
    int calls() const { return calls_; }

    std::string makeTempDirectory(const std::string& parent, const std::string& prefix) override
    {
        tick(parent);
        return ParadoxWriterFiles::makeTempDirectory(parent, prefix);
    }
    void makeDirectory(const std::string& path) override
    {
        tick(path);
        ParadoxWriterFiles::makeDirectory(path);
    }
    TvxFileHandle create(const std::string& path) override
    {
        tick(path);
        return ParadoxWriterFiles::create(path);
    }
    TvxFileHandle openForReading(const std::string& path) override
    {
        tick(path);
        return ParadoxWriterFiles::openForReading(path);
    }
    void writeAt(TvxFileHandle fd, const void* data, std::size_t size, std::uint64_t offset, const std::string& path) override
    {
        tick(path);
        ParadoxWriterFiles::writeAt(fd, data, size, offset, path);
    }
    std::size_t readAt(TvxFileHandle fd, void* data, std::size_t size, std::uint64_t offset, const std::string& path) override
    {
        tick(path);
        return ParadoxWriterFiles::readAt(fd, data, size, offset, path);
    }
    void sync(TvxFileHandle, const std::string& path) override { tick(path); } // no flush: the disk is not the subject
    void close(TvxFileHandle fd, const std::string& path) override
    {
        tick(path);
        ParadoxWriterFiles::close(fd, path);
    }
    void rename(const std::string& from, const std::string& to) override
    {
        tick(to);
        ParadoxWriterFiles::rename(from, to);
    }
    void syncDirectory(const std::string& path) override { tick(path); }
    void syncFileSystem(const std::string& path) override { tick(path); }
    std::vector<std::string> list(const std::string& path) override
    {
        tick(path);
        return ParadoxWriterFiles::list(path);
    }

private:
    void tick(const std::string& path)
    {
        if (++calls_ == failAt_)
            throw EvxEngineError(vxErrWriteFailed, path + ": write failed (injected)");
    }
    int failAt_;
    int calls_ = 0;
};

// Every file under a directory with its bytes.
std::map<std::string, std::vector<std::uint8_t>> snapshot(const fs::path& dir)
{
    std::map<std::string, std::vector<std::uint8_t>> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        out[fs::relative(e.path(), dir).string()] = e.is_regular_file() ? ReadAll(e.path().string()) : std::vector<std::uint8_t>{};
    return out;
}

struct Table
{
    TvxTableDesc desc;
    std::vector<TvxRecord> records;
};

Table sampleTable()
{
    Table t{MakeTable({{"Code", fldLong}, {"Name", fldAlpha, 20}, {"Notes", fldMemo, 4}, {"Price", fldMoney}}, 1), {}};
    t.desc.SetIndexes({*t.desc.GetIndex(0), SecondaryIndex("", {2}), SecondaryIndex("ByPrice", {4, 2}, true)});
    TvxValCheckDesc check;
    check.setFieldNumber(2);
    check.setRequired(true);
    t.desc.SetValChecks({check});
    for (int i = 0; i < 200; ++i)
        t.records.push_back({TvxFieldValue::Integer(1000 - i), TvxFieldValue::Bytes("item " + std::to_string(i % 37)),
                             TvxFieldValue::Bytes(std::string(static_cast<std::size_t>(i % 5 == 0 ? 3000 : 40), 'x')),
                             TvxFieldValue::Float(i * 0.25)});
    return t;
}

void failEveryCall(bool replace)
{
    const Table t = sampleTable();
    TempDir dir;
    dir.write("OTHER.TXT", "kept");
    if (replace) { // a table of that name already there
        VectorSource old({{TvxFieldValue::Integer(1), TvxFieldValue::Bytes("old"), {}, {}}});
        ParadoxWriteTable(t.desc, old, dir.str(), "Stock");
    }
    const auto before = snapshot(dir.path());
    int failAt = 1;
    for (;; ++failAt) {
        FailingFiles files(failAt);
        ParadoxWriteOptions options;
        options.files = &files;
        options.replace = replace;
        options.sortMemoryBytes = 4096; // run files on disk too
        VectorSource source(t.records);
        try {
            ParadoxWriteTable(t.desc, source, dir.str(), "Stock", options);
        } catch (const EvxEngineError& e) {
            ASSERT_EQ(e.Code(), vxErrWriteFailed) << e.what();
            ASSERT_EQ(snapshot(dir.path()), before) << "call " << failAt << " failed: " << e.what();
            continue;
        }
        EXPECT_EQ(files.calls(), failAt - 1); // no call was left to fail
        break;
    }
    EXPECT_GT(failAt, 50);
    const auto after = snapshot(dir.path());
    EXPECT_EQ(after.at("OTHER.TXT"), before.at("OTHER.TXT"));
    EXPECT_EQ(after.size(), 1 + 8u); // DB, PX, X02/Y02, XG0/YG0, VAL, MB
    EXPECT_TRUE(ParadoxCheckFamily(dir.str(), "Stock.DB").clean());
    EXPECT_EQ(ReadRecords(dir.path() / "Stock.DB").size(), t.records.size());
}

TEST(ParadoxWriterFaults, AFailingCallLeavesTheTargetAsItWas)
{
    failEveryCall(false);
}

TEST(ParadoxWriterFaults, AFailingCallLeavesTheReplacedTableInPlace)
{
    failEveryCall(true);
}

TEST(ParadoxWriterFaults, TheSourceDirectoryAndAnExistingTableAreRefused)
{
    const Table t = sampleTable();
    TempDir dir;
    VectorSource first(t.records);
    ParadoxWriteTable(t.desc, first, dir.str(), "Stock");
    const auto before = snapshot(dir.path());
    for (const bool sameSource : {true, false}) {
        ParadoxWriteOptions options;
        if (sameSource)
            options.sourceDirectory = dir.str() + "/.";
        VectorSource source(t.records);
        try {
            ParadoxWriteTable(t.desc, source, dir.str(), sameSource ? "Copy" : "STOCK", options);
            ADD_FAILURE() << "written";
        } catch (const EvxEngineError& e) {
            EXPECT_EQ(e.Code(), sameSource ? vxErrSourceIsTarget : vxErrTargetHasTable) << e.what();
        }
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

} // namespace
} // namespace morvane
