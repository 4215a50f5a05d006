#pragma once
// A source directory holding copies of sample tables and a target beside it, and a run of the
// update server between them.

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "server/TvxUpdateServer.h"
#include "ServerTestSupport.h"
#include "support/SamplePath.h"

namespace morvane::test {

// The three joined sample tables A, B and C with their indexes and checks.
inline const std::vector<std::string> JoinFiles = {
    "pd-joins/A.db",  "pd-joins/A.PX",  "pd-joins/A.VAL", "pd-joins/B.db",  "pd-joins/B.PX",
    "pd-joins/B.VAL", "pd-joins/C.DB",  "pd-joins/C.PX",  "pd-joins/C.VAL", "pd-joins/C.X02",
    "pd-joins/C.Y02", "pd-joins/C.X03", "pd-joins/C.Y03"};

class ServerRunTest : public ::testing::Test
{
protected:
    // Copies sample files (paths relative to the samples folder) into dir.
    static void CopySamples(const std::filesystem::path& dir, const std::vector<std::string>& files)
    {
        std::filesystem::create_directories(dir);
        for (const std::string& f : files)
            std::filesystem::copy_file(SamplePath(f), dir / std::filesystem::path(f).filename());
    }

    int Run(const std::string& script, bool dryRun = false, const std::vector<std::string>& passwords = {},
            ParadoxWriterFiles* files = nullptr, const std::string& newPath = "-")
    {
        TvxUpdateServer server(files);
        server.SetSource(src.string());
        server.SetNewPath(newPath == "-" ? dst.string() : newPath);
        server.SetScriptFile(script);
        for (const auto& p : passwords)
            server.AddPassword(p);
        server.SetDryRun(dryRun);
        const int code = server.Run();
        report = server.Report();
        return code;
    }

    // An update of the joined tables: A, B and C from the source, C with a new Alpha field NOTE
    // ("x" in every record), and a new empty table NEW.
    std::string SaveJoinsUpdate(const std::string& name)
    {
        TvxScriptMaker m;
        for (const char* t : {"A", "B", "C"})
            m.AddTable(t, src.string(), t);
        m.CreateField("C", MakeField("NOTE", 0, fldAlpha, 5), -1, "x");
        m.CreateTable("NEW");
        m.CreateField("NEW", MakeField("N", 0, fldLong));
        return m.SaveUpdate(tmp.file(name));
    }

    const TvxTableUpdateReport* TableReport(const std::string& table) const
    {
        for (const auto& t : report.tables)
            if (t.table == table)
                return &t;
        return nullptr;
    }

    TempDir tmp;
    std::filesystem::path src = tmp.path() / "source";
    std::filesystem::path dst = tmp.path() / "target";
    TvxUpdateReport report;
};

} // namespace morvane::test
