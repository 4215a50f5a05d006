// Where an export is written: an existing output is refused unless forced, and a failed export
// leaves the target as it was, with no temporary file beside it.

#include "db/EvxEngineError.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "export/EvxExportError.h"
#include "ExportTestSupport.h"
#include "support/SamplePath.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::ExportSource;
using test::SqliteFile;
using test::TempDir;

std::set<std::string> namesIn(const fs::path& dir)
{
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        out.insert(e.path().filename().string());
    return out;
}

const TvxExportFormat formats[] = {TvxExportFormat::Sqlite, TvxExportFormat::Csv};

TEST(ExportOutput, ExistingOutputNeedsForce)
{
    for (const auto format : formats) {
        const bool csv = format == TvxExportFormat::Csv;
        SCOPED_TRACE(csv ? "csv" : "sqlite");
        TempDir out;
        if (csv) {
            out.write("csv/STATES.csv", "old");
            out.write("csv/notes.txt", "mine");
        } else {
            out.write("csv", "old");
        }
        ExportSource source(test::SamplePath("pd-areas"));
        EXPECT_THROW(source.Export(format, out.file("csv"), {"STATES"}), EvxExportError);
        EXPECT_EQ(out.read(csv ? "csv/STATES.csv" : "csv"), "old");

        source.Export(format, out.file("csv"), {"STATES"}, true);
        if (csv) {
            EXPECT_EQ(out.read("csv/STATES.csv").substr(0, 4), "Abv,");
            EXPECT_EQ(out.read("csv/notes.txt"), "mine"); // a forced directory keeps what is not ours
        } else {
            EXPECT_EQ(SqliteFile(out.file("csv")).Value("SELECT count(*) FROM STATES"), "53");
        }
        EXPECT_EQ(namesIn(out.path()), std::set<std::string>{"csv"});
    }
    TempDir out;
    fs::create_directory(out.file("dir"));
    ExportSource source(test::SamplePath("pd-areas"));
    EXPECT_THROW(source.Export(TvxExportFormat::Sqlite, out.file("dir"), {"STATES"}, true), EvxExportError);
    EXPECT_TRUE(fs::is_directory(out.file("dir")));
}

// STATES's first block claims more records than it holds: the export fails after writing
// AREACODE.
TEST(ExportOutput, FailureLeavesTheTargetAsItWas)
{
    TempDir tables;
    tables.copySamples({"pd-areas/AREACODE.DB", "pd-areas/STATES.DB"});
    std::string states = tables.read("STATES.DB");
    const std::size_t header = static_cast<unsigned char>(states[2]) | static_cast<unsigned char>(states[3]) << 8;
    states[header + 4] = '\xF0';
    states[header + 5] = '\x7F';
    tables.write("STATES.DB", states);

    for (const auto format : formats) {
        for (const bool existing : {false, true}) {
            SCOPED_TRACE(std::string(format == TvxExportFormat::Csv ? "csv" : "sqlite") + (existing ? ", forced" : ""));
            TempDir out;
            if (existing)
                out.write(format == TvxExportFormat::Csv ? "target/AREACODE.csv" : "target", "old");
            const auto before = namesIn(out.path());
            ExportSource source(tables.str());
            try {
                source.Export(format, out.file("target"), {"AREACODE", "STATES"}, existing);
                ADD_FAILURE() << "a damaged table was exported";
            } catch (const EvxEngineError& e) {
                EXPECT_NE(std::string(e.what()).find("STATES.DB"), std::string::npos) << e.what();
            }
            EXPECT_EQ(namesIn(out.path()), before);
            if (existing) {
                EXPECT_EQ(out.read(format == TvxExportFormat::Csv ? "target/AREACODE.csv" : "target"), "old");
                if (format == TvxExportFormat::Csv) {
                    EXPECT_EQ(namesIn(out.file("target")), std::set<std::string>{"AREACODE.csv"});
                }
            }
        }
    }
}

} // namespace
} // namespace morvane
