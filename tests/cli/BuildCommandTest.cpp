// morvane-cli build on documents made through the builder, on copies of sample tables: the
// files it writes beside the document are byte for byte those the editor's core writes; the
// source database of the document or the one given; the checks and their messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "db/IvxEngine.h"
#include "db/cpDatabase.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "script/vxScriptCreate.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

#include "CliRunner.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;

class BuildCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(src);
        fs::create_directories(docs);
        for (const char* f : {"pd-areas/ZIPCODES.DB", "pd-areas/ZIPCODES.PX", "pd-areas/ZIPCODES.VAL"})
            fs::copy_file(test::SamplePath(f), src / fs::path(f).filename());
        script.SetScriptTableList(&list);
    }

    // The edits of the editor: the source by directory, ZIPCODES added as ZIP with City cut,
    // a new table NOTAS with a key.
    void MakeDocument(bool keyWithoutFields = false)
    {
        Add(ckAddAlias, {"", "STANDARD", src.string()});
        auto engine = CreateParadoxEngine(config);
        TvxDatabase db(*engine);
        db.OpenByPath(src.string());
        const TvxTableDesc zip = db.ReadTable(db.FindTable("ZIPCODES"));
        Add(ckAddTable, {"ZIP"}, TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(zip.Clone())));
        list.SetCurrentFieldPos(list.FieldNumber("City") - 1);
        TvxFieldDesc city = *list.CurrentField();
        TvxFieldDesc shorter = city;
        shorter.setUnits1(12);
        shorter.setLength(12);
        Add(ckChangeField, {"ZIP"}, TvxCommandExtras::ForFields(city, shorter));
        Add(ckCreateTable, {"NOTAS"});
        Add(ckCreateField, {"NOTAS"}, TvxCommandExtras::ForCreateField(test::MakeField("ID", 1, fldLong), ""));
        Add(ckCreateField, {"NOTAS"}, TvxCommandExtras::ForCreateField(test::MakeField("TEXTO", 2, fldAlpha, 40), ""));
        TvxIndexDesc key;
        key.setPrimary(true);
        if (!keyWithoutFields) {
            key.setKeyFieldCount(1);
            key.setKeyField(0, 1);
        }
        list.TableByName("NOTAS")->SetIndexes({key});
        SaveScriptDocument(document, "Morvane", script, list);
    }
    void Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {})
    {
        auto command = std::make_unique<TvxCommand>(kind, values);
        ASSERT_EQ(script.AddCommand(command, std::move(extras)), 0) << CommandKindLabel(kind);
    }
    // What the editor's "C&riar script" writes for the document as it is in memory.
    void WriteExpected() { ASSERT_EQ(CreateScripts(expected, "Morvane", script, list), TvxScriptMsg::ScriptsCreated); }

    test::CliResult Build(const std::string& args)
    {
        return test::RunCli("build " + args, tmp.path() / "err.txt",
                            "MORVANE_ENGINE_CONFIG=" + test::ShellQuote(config));
    }
    std::string Q(const fs::path& p) const { return test::ShellQuote(p.string()); }

    test::TempDir tmp;
    fs::path src = tmp.path() / "fonte.v1";
    fs::path docs = tmp.path() / "docs.2024.d";
    std::string config = tmp.file("aliases.conf");
    std::string document = (docs / "novo.vxscript").string();
    std::string expected = tmp.file("novo.vxscript");
    TvxScriptTableList list;
    TvxDBScript script;
};

TEST_F(BuildCommandTest, WritesTheFilesTheEditorWrites)
{
    MakeDocument();
    WriteExpected();
    const test::CliResult r = Build(Q(document));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Os Scripts foram criados com sucesso"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find((docs / "novo.vxusp").string()), std::string::npos) << r.out;
    EXPECT_EQ(test::Slurp(docs / "novo.vxusp"), test::Slurp(tmp.file("novo.vxusp")));
    EXPECT_EQ(test::Slurp(docs / "novo.vxmsp"), test::Slurp(tmp.file("novo.vxmsp")));
    EXPECT_FALSE(fs::exists(tmp.path() / "docs.vxusp")) << "the folder's dots are no extension";
}

TEST_F(BuildCommandTest, SourceGivenInsteadOfTheDocumentsOwn)
{
    MakeDocument();
    WriteExpected();
    const fs::path moved = tmp.path() / "movida";
    fs::rename(src, moved);
    const test::CliResult gone = Build(Q(document));
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.err.find("neither a directory nor a known alias"), std::string::npos) << gone.err;
    EXPECT_FALSE(fs::exists(docs / "novo.vxusp"));

    const test::CliResult byPath = Build(Q(document) + " --source " + Q(moved));
    ASSERT_EQ(byPath.status, 0) << byPath.err;
    EXPECT_EQ(test::Slurp(docs / "novo.vxmsp"), test::Slurp(tmp.file("novo.vxmsp")));
}

TEST_F(BuildCommandTest, ChecksAndFailuresExplainThemselves)
{
    MakeDocument(true);
    const fs::path empty = tmp.path() / "vazia";
    fs::create_directories(empty);
    struct Case
    {
        std::string args;
        int status;
        const char* message;
        bool updateWritten;
    };
    const Case cases[] = {
        {"", 2, "usage", false},
        {Q(document) + " --bogus", 2, "usage", false},
        {Q(document) + " --source", 2, "usage", false},
        {Q(tmp.file("nada.vxscript")), 1, "Cannot open file", false},
        {Q(document) + " --source " + Q(empty), 1, "A tabela ZIPCODES não foi encontrada no caminho atual", false},
        {Q(document), 1, "Alguns índices não estão com pelo menos um campo definido", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const test::CliResult r = Build(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(fs::exists(docs / "novo.vxusp"), c.updateWritten);
        EXPECT_FALSE(fs::exists(docs / "novo.vxmsp"));
    }
}

TEST_F(BuildCommandTest, ProtectedSourceTablesNeedTheirPassword)
{
    fs::copy_file(test::SamplePath("pd-encrypt/encrypted.db"), src / "encrypted.db");
    Add(ckAddAlias, {"", "STANDARD", src.string()});
    {
        auto engine = CreateParadoxEngine(config);
        TvxDatabase db(*engine);
        db.Session().AddPassword("123");
        db.OpenByPath(src.string());
        const TvxTableDesc t = db.ReadTable(db.FindTable("encrypted"));
        Add(ckAddTable, {"SECRETA"}, TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(t.Clone())));
    }
    SaveScriptDocument(document, "Morvane", script, list);
    WriteExpected();
    const test::CliResult none = Build(Q(document));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("password is required"), std::string::npos) << none.err;
    EXPECT_FALSE(fs::exists(docs / "novo.vxusp"));
    const test::CliResult r = Build(Q(document) + " --password errada --password 123");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::Slurp(docs / "novo.vxmsp"), test::Slurp(tmp.file("novo.vxmsp")));
}

} // namespace
} // namespace morvane
