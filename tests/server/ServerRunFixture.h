#pragma once
// A source directory holding copies of sample tables and a target beside it, and a run of the
// update server between them.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ServerTestSupport.h"
#include "server/TvxUpdateServer.h"
#include "support/SamplePath.h"

namespace morvane::test {

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
