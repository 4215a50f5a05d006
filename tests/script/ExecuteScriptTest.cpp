// The executor against a scripted update server registered in the factory: the calls in their
// order with their values, the passwords, the file looked for, -294 and its event, one server
// for many runs, the preview, and the script file a user chooses.

#include <gtest/gtest.h>

#include "script/CovxUpdateServer.h"
#include "script/cpvxExecuteScript.h"
#include "support/TempDir.h"

namespace morvane {
namespace {

// Records every call it receives into a log the test keeps; Run answers `code`.
class TvxScriptedServer : public IvxUpdateServer
{
public:
    TvxScriptedServer(std::vector<std::string>& log, int code) : log_(log), code_(code) {}

    std::string ScriptFile() const override { return file_; }
    void SetScriptFile(std::string_view f) override { log_.push_back("SetScriptFile " + (file_ = f)); }
    std::string Source() const override { return {}; }
    void SetSource(std::string_view s) override { log_.push_back("SetSource " + std::string(s)); }
    std::string NewPath() const override { return {}; }
    void SetNewPath(std::string_view p) override { log_.push_back("SetNewPath " + std::string(p)); }
    int Run() override
    {
        log_.push_back(dryRun_ ? "Run dry" : "Run");
        report_.code = code_;
        report_.dryRun = dryRun_;
        report_.scriptFile = file_;
        return code_;
    }
    void AddPassword(std::string_view p) override { log_.push_back("AddPassword " + std::string(p)); }
    void SetDryRun(bool d) override { log_.push_back(d ? "SetDryRun 1" : "SetDryRun 0"), dryRun_ = d; }
    void SetProgress(TvxUpdateProgressEvent) override { log_.push_back("SetProgress"); }
    const TvxUpdateReport& Report() const override { return report_; }

private:
    std::vector<std::string>& log_;
    int code_;
    std::string file_;
    bool dryRun_ = false;
    TvxUpdateReport report_;
};

class ExecuteScriptTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CovxUpdateServer::Register([this] {
            ++created;
            return std::make_unique<TvxScriptedServer>(log, code);
        });
        exe.OnShowErrorMsg = [this](int c) { shown.push_back(c); };
        dir.write("v1.2/novo.vxusp", "u");
        dir.write("v1.2/novo.vxmsp", "m");
        exe.SetScriptFileName(dir.file("v1.2/novo"));
    }
    void TearDown() override { CovxUpdateServer::Register({}); }

    test::TempDir dir;
    TvxExecuteScript exe;
    std::vector<std::string> log;
    std::vector<int> shown;
    int created = 0;
    int code = 0;
};

TEST_F(ExecuteScriptTest, CallsInOrderWithPasswordsOnEveryRunAndOneServer)
{
    exe.Passwords = {"um", "dois"};
    EXPECT_EQ(exe.Execute("EXEMPLO", "/alvo"), 0);
    const std::vector<std::string> run = {"SetSource EXEMPLO", "SetNewPath /alvo",
                                          "SetScriptFile " + dir.file("v1.2/novo.vxusp"),
                                          "AddPassword um", "AddPassword dois", "Run"};
    EXPECT_EQ(log, run);
    log.clear();
    exe.Mode = TvxExecuteScript::ModeMaintenance;
    EXPECT_EQ(exe.Execute("EXEMPLO", "/alvo"), 0);
    ASSERT_EQ(log.size(), run.size());
    EXPECT_EQ(log[2], "SetScriptFile " + dir.file("v1.2/novo.vxmsp"));
    EXPECT_EQ(log[4], "AddPassword dois");
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(shown.empty());
}

TEST_F(ExecuteScriptTest, ResultCodesAndTheErrorEvent)
{
    struct Case
    {
        const char* what;
        const char* file;
        int runCode;
        int expected;
        int servers;
    };
    const Case cases[] = {
        {"success", "v1.2/novo", 0, 0, 1},
        {"code of Run", "v1.2/novo", 299, 299, 1},
        {"missing file (or deleted after it was chosen)", "v1.2/outro", 0, vxExecScriptNotFound, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TvxExecuteScript fresh;
        std::vector<int> events;
        fresh.OnShowErrorMsg = [&](int e) { events.push_back(e); };
        fresh.SetScriptFileName(dir.file(c.file));
        created = 0;
        code = c.runCode;
        log.clear();
        EXPECT_EQ(fresh.Execute("S", "T"), c.expected);
        EXPECT_EQ(created, c.servers);
        EXPECT_EQ(fresh.HasServer(), c.servers == 1);
        EXPECT_EQ(events, c.expected ? std::vector<int>{c.expected} : std::vector<int>{});
        EXPECT_EQ(fresh.Report().code, c.expected);
        if (c.servers == 0) {
            EXPECT_TRUE(log.empty());
        }
    }
}

TEST_F(ExecuteScriptTest, NoServerInstalledReachesTheCaller)
{
    CovxUpdateServer::Register({});
    EXPECT_THROW(exe.Execute("S", "T"), EvxNoUpdateServer);
    EXPECT_TRUE(shown.empty());
}

TEST_F(ExecuteScriptTest, PreviewIsADryRunThatLeavesTheServerForARealOne)
{
    code = 300;
    exe.Passwords = {"p"};
    const TvxUpdateReport preview = exe.Preview("S", "T");
    EXPECT_TRUE(preview.dryRun);
    EXPECT_EQ(preview.code, 300);
    EXPECT_TRUE(shown.empty()) << "the caller decides what to show";
    EXPECT_EQ(log, (std::vector<std::string>{"SetSource S", "SetNewPath T", "SetScriptFile " + dir.file("v1.2/novo.vxusp"),
                                             "AddPassword p", "SetDryRun 1", "Run dry", "SetDryRun 0"}));
    log.clear();
    EXPECT_EQ(exe.Execute("S", "T"), 300);
    EXPECT_EQ(log.back(), "Run");
    EXPECT_FALSE(exe.Report().dryRun);
    EXPECT_EQ(created, 1);

    exe.SetScriptFileName(dir.file("nada"));
    EXPECT_EQ(exe.Preview("S", "T").code, -294);
    EXPECT_EQ(exe.Preview("S", "T").message, "O arquivo de script não foi encontrado");
}

TEST_F(ExecuteScriptTest, ChosenFileGivesModeAndName)
{
    struct Case
    {
        const char* chosen;
        bool taken;
        int mode;
        const char* name;
    };
    const Case cases[] = {
        {"/d/v1.2/novo.vxusp", true, 0, "/d/v1.2/novo"},
        {"  /d/Meus.Dados/novo.VXMSP ", true, 1, "/d/Meus.Dados/novo"},
        {"novo.final.VxUsP", true, 0, "novo.final"},
        // Other names change nothing.
        {"/d/novo.vxscript", false, 0, "novo.final"},
        {"/d/novo.vxmsp.bak", false, 0, "novo.final"},
    };
    TvxExecuteScript e;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(e.SetChosenFile(c.chosen), c.taken);
        EXPECT_EQ(e.Mode, c.mode);
        EXPECT_EQ(e.ScriptFileName(), c.name);
    }
}

TEST_F(ExecuteScriptTest, AnExtensionInCapitalsIsTheFileChosen)
{
    dir.write("CAPS.VXUSP", "u");
    ASSERT_TRUE(exe.SetChosenFile(dir.file("CAPS.VXUSP")));
    EXPECT_EQ(exe.Execute("S", "T"), 0);
    EXPECT_EQ(log[2], "SetScriptFile " + dir.file("CAPS.VXUSP"));
}

} // namespace
} // namespace morvane
