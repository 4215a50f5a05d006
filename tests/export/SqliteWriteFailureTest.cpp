// A SQLite export whose file cannot be written to the end (the file size limit of the process
// stands in for a full disk) fails with the export's error and leaves nothing behind, wherever
// the failing write falls: among the records or in the last pages written before closing.

#include "model/vxFieldTypes.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "export/EvxExportError.h"
#include "export/TvxSqliteTarget.h"
#include "ExportTestSupport.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

// Files of this process may grow to `bytes` while it lives (writes past it fail, EFBIG).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldSignal_);
    }

private:
    rlimit old_{};
    void (*oldSignal_)(int) = SIG_DFL;
};

void exportRecords(const std::string& path, int count)
{
    TvxTableDesc desc;
    desc.SetFields({test::MakeField("Id", 1, fldLong), test::MakeField("Name", 2, fldAlpha, 40)});
    desc.CursorProps().setCodePage(1252);
    std::vector<TvxRecord> records;
    for (int r = 0; r < count; ++r)
        records.push_back(
            {TvxFieldValue::Integer(r), TvxFieldValue::Bytes("a name of some length, record " + std::to_string(r))});
    const std::vector<TvxExportTable> tables = {TvxExportTable{"T", "T.DB", desc}};
    TvxExportResult result;
    result.tables.push_back({"T", 0, 0, 0, 0});
    TvxSqliteTarget target(path, false);
    target.Begin(tables, result);
    test::RecordList source(std::move(records));
    target.WriteTable(0, source, result);
    target.Finish(result);
}

TEST(SqliteWriteFailure, FailsAndLeavesNothing)
{
    constexpr int Records = 30000;
    test::TempDir out;
    exportRecords(out.file("whole.sqlite"), Records);
    const auto whole = static_cast<rlim_t>(fs::file_size(out.file("whole.sqlite")));
    ASSERT_GT(whole, rlim_t{1} << 20);
    for (const rlim_t limit : {rlim_t{40000}, whole / 2, whole - 100}) {
        SCOPED_TRACE("files limited to " + std::to_string(limit) + " bytes of " + std::to_string(whole));
        test::TempDir dir;
        {
            FileSizeLimit fileSize(limit);
            EXPECT_THROW(exportRecords(dir.file("t.sqlite"), Records), EvxExportError);
        }
        EXPECT_TRUE(fs::is_empty(dir.path())) << "something was left";
    }
}

} // namespace
} // namespace morvane
