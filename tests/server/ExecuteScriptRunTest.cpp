// The executor with our update server behind the factory, on copies of the sample tables: the
// scripts written beside a document in a folder with dots, previewed, then run.

#include <gtest/gtest.h>

#include "ServerRunFixture.h"
#include "script/CovxUpdateServer.h"
#include "script/cpvxExecuteScript.h"
#include "script/vxScriptCreate.h"
#include "script/vxUpdateServerCodes.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using test::MakeField;

class ExecuteScriptRunTest : public test::ServerRunTest
{
protected:
    void SetUp() override
    {
        RegisterUpdateServer();
        CopySamples(src, {"pd-areas/ZIPCODES.DB", "pd-areas/ZIPCODES.PX", "pd-areas/ZIPCODES.VAL"});
        m.Source(src.string());
        m.AddTable("ZIP", src.string(), "ZIPCODES");
        m.ChangeField("ZIP", "City", MakeField("City", 3, fldAlpha, 12));
        m.CreateTable("NOTAS");
        m.CreateField("NOTAS", MakeField("ID", 0, fldLong));
        fs::create_directories(tmp.path() / "v2.1.docs");
        ASSERT_EQ(CreateScripts(document, "Morvane", m.script, m.list), TvxScriptMsg::ScriptsCreated);
        exe.OnShowErrorMsg = [this](int code) { shown.push_back(code); };
    }
    void TearDown() override { CovxUpdateServer::Register({}); }

    test::TvxScriptMaker m;
    std::string document = tmp.file("v2.1.docs/novo.vxscript");
    TvxExecuteScript exe;
    std::vector<int> shown;
};

TEST_F(ExecuteScriptRunTest, PreviewThenRunTheUpdateThenTheMaintenanceScript)
{
    ASSERT_TRUE(exe.SetChosenFile(tmp.file("v2.1.docs/novo.vxusp")));
    const auto sourceBefore = test::Fingerprint(src);

    const TvxUpdateReport preview = exe.Preview(src.string(), dst.string());
    EXPECT_TRUE(preview.dryRun);
    EXPECT_EQ(preview.code, vxRunProblems) << preview.message; // cities cut to 12 characters
    ASSERT_EQ(preview.tables.size(), 2u);
    EXPECT_GT(preview.TotalValuesCut(), 0);
    EXPECT_FALSE(fs::exists(dst));
    EXPECT_TRUE(shown.empty());

    EXPECT_EQ(exe.Execute(src.string(), dst.string()), vxRunProblems);
    EXPECT_EQ(shown, std::vector<int>{vxRunProblems});
    EXPECT_FALSE(exe.Report().dryRun);
    EXPECT_EQ(test::Structure(dst.string(), "ZIP").FieldCount(), test::Structure(src.string(), "ZIPCODES").FieldCount());
    EXPECT_EQ(test::ReadAll(dst.string(), "ZIP").size(), test::ReadAll(src.string(), "ZIPCODES").size());
    EXPECT_TRUE(fs::exists(dst / "NOTAS.DB"));
    EXPECT_EQ(test::Fingerprint(src), sourceBefore);

    // The maintenance script, on the same server, into a fresh target.
    dst = tmp.path() / "manutencao";
    ASSERT_TRUE(exe.SetChosenFile(tmp.file("v2.1.docs/novo.VXMSP")));
    EXPECT_EQ(exe.Mode, TvxExecuteScript::ModeMaintenance);
    const int code = exe.Execute(src.string(), dst.string()); // the tables made empty there
    EXPECT_EQ(code, vxRunOK) << RunCodeText(code);
    EXPECT_EQ(exe.Report().scriptKind, "maintenance");
    EXPECT_TRUE(fs::exists(dst / "NOTAS.DB"));
    EXPECT_TRUE(fs::exists(dst / "ZIP.DB"));
}

} // namespace
} // namespace morvane
