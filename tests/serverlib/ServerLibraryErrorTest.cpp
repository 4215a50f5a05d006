// The failures of the C interface: a null handle, null strings, and runs that fail, each with
// its code, its message and the report that states both; the texts stay put until the next run.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "morvane/update_server.h"
#include "script/vxUpdateScriptFile.h"
#include "script/vxUpdateServerCodes.h"
#include "support/TempDir.h"
#include "support/TestScript.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

using TvxServerHandle = std::unique_ptr<morvane_update_server, decltype(&morvane_server_destroy)>;

TvxServerHandle NewServer()
{
    return {morvane_server_create(), &morvane_server_destroy};
}

TEST(ServerLibraryErrorTest, NullHandleAndNullStrings)
{
    morvane_server_set_script_file(nullptr, "x.vxusp");
    morvane_server_set_source(nullptr, nullptr);
    morvane_server_set_new_path(nullptr, "x");
    morvane_server_add_password(nullptr, "x");
    morvane_server_set_dry_run(nullptr, 1);
    morvane_server_set_progress(nullptr, nullptr, nullptr);
    morvane_server_destroy(nullptr);
    EXPECT_EQ(morvane_server_run(nullptr), vxRunNoServer);
    EXPECT_EQ(std::string(morvane_server_message(nullptr)), RunCodeText(vxRunNoServer));
    EXPECT_STREQ(morvane_server_report_json(nullptr), "");

    const TvxServerHandle s = NewServer();
    EXPECT_STREQ(morvane_server_message(s.get()), "") << "before the first run";
    EXPECT_STREQ(morvane_server_report_json(s.get()), "");
    morvane_server_set_script_file(s.get(), nullptr);
    morvane_server_set_source(s.get(), nullptr);
    morvane_server_set_new_path(s.get(), nullptr);
    morvane_server_add_password(s.get(), nullptr);
    morvane_server_set_progress(s.get(), nullptr, nullptr);
    EXPECT_EQ(morvane_server_run(s.get()), vxRunScriptNotFound);
}

TEST(ServerLibraryErrorTest, FailedRunsAnswerCodeMessageAndReport)
{
    const test::TempDir tmp;
    tmp.copySamples({"pd-joins/A.db", "pd-joins/A.PX"});
    test::TestScript copy;
    copy.Add(ckAddTable, {"A", "A.db"});
    const std::string script = tmp.file("copy.vxusp");
    SaveUpdateScript(script, "Morvane", copy);
    tmp.write("garbage.vxusp", "not a script at all");
    const std::string target = tmp.file("target");

    struct Case
    {
        std::string script, source, target;
        int code;
        std::string detail; // in the message
    };
    const Case cases[] = {
        {tmp.file("none.vxusp"), tmp.str(), target, vxRunScriptNotFound, "none.vxusp"},
        {tmp.file("garbage.vxusp"), tmp.str(), target, vxRunNotAScript, "garbage.vxusp"},
        {script, tmp.file("no such source"), target, vxRunSourceUnreadable, "no such source"},
        {script, tmp.str(), tmp.str(), vxRunTargetIsSource, tmp.str()},
    };
    const TvxServerHandle s = NewServer();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        morvane_server_set_script_file(s.get(), c.script.c_str());
        morvane_server_set_source(s.get(), c.source.c_str());
        morvane_server_set_new_path(s.get(), c.target.c_str());
        EXPECT_EQ(morvane_server_run(s.get()), c.code);
        const char* message = morvane_server_message(s.get());
        const char* json = morvane_server_report_json(s.get());
        EXPECT_EQ(std::string(message).rfind(RunCodeText(c.code) + ": ", 0), 0u) << message;
        EXPECT_NE(std::string(message).find(c.detail), std::string::npos) << message;
        const nlohmann::json report = nlohmann::json::parse(json);
        EXPECT_EQ(report["code"], c.code);
        EXPECT_EQ(report["message"], message);
        EXPECT_FALSE(fs::exists(target)) << "a failed run leaves no target";
        // Asking again hands back the same texts, still readable.
        EXPECT_EQ(morvane_server_report_json(s.get()), json);
        EXPECT_EQ(morvane_server_message(s.get()), message);
        EXPECT_EQ(nlohmann::json::parse(json)["message"], message);
    }

    morvane_server_set_source(s.get(), tmp.str().c_str());
    morvane_server_set_new_path(s.get(), target.c_str());
    EXPECT_EQ(morvane_server_run(s.get()), vxRunOK) << morvane_server_message(s.get());
    EXPECT_STREQ(morvane_server_message(s.get()), "");
    EXPECT_EQ(nlohmann::json::parse(morvane_server_report_json(s.get()))["code"], 0);
}

} // namespace
} // namespace morvane
