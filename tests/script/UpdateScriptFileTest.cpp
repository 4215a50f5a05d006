// The update and maintenance script files byte for byte, read back as written, the names they
// take beside a document, and the factory that creates update servers.

#include <gtest/gtest.h>

#include "BuilderFixture.h"
#include "script/CovxUpdateServer.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxUpdateReport.h"
#include "script/vxUpdateScriptFile.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"
#include "support/TempDir.h"
#include "support/TestScript.h"

namespace morvane {
namespace {

const std::string Header = std::string("\x06\x07Morvane\x06\x03" "1.0", 14);

std::string Bytes(const TvxMemoryStream& stream)
{
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

TEST(UpdateScriptFileTest, EmptyScriptsByteForByte)
{
    test::TestScript script;
    TvxScriptTableList tables;
    TvxMemoryStream update;
    WriteUpdateScript(update, "Morvane", script);
    EXPECT_EQ(Bytes(update), Header + std::string("\x02\x01\x08\x02\x00", 5));
    TvxMemoryStream maintenance;
    WriteMaintenanceScript(maintenance, "Morvane", tables);
    EXPECT_EQ(Bytes(maintenance), Header + std::string("\x02\x02\x08\x02\x00", 5));
}

class UpdateScriptRoundTrip : public test::BuilderTest
{
};

TEST_F(UpdateScriptRoundTrip, WhatIsWrittenReadsBack)
{
    CreateTable("CLI");
    CreateField("CLI", "NOME", 1, "x");
    CreateField("CLI", "IDADE", 2);
    Add(ckAddPassword, {"CLI", "segredo"});
    list.SelectIndex(0);
    ASSERT_TRUE(list.AddValCheck("a", "", list.Fields()[0], true, "", ""));
    TvxRefIntDesc rule;
    rule.setName("R");
    rule.setKind(TvxRefIntDesc::Master);
    rule.setOtherTable("ITENS.DB");
    ASSERT_EQ(list.AddRefInt(rule), 0);
    list.TableAt(0)->RefIntAt(0).setKind(TvxRefIntDesc::Master); // as a table read from a database has it

    test::TempDir dir;
    SaveUpdateScript(dir.file("s.vxusp"), "Morvane", script);
    SaveMaintenanceScript(dir.file("s.vxmsp"), "Morvane", list);
    const TvxUpdateScriptFile update = ReadUpdateScriptFile(dir.file("s.vxusp"));
    EXPECT_EQ(update.header.FileKind, fkUpdateScript);
    ASSERT_EQ(update.commands.size(), static_cast<std::size_t>(script.Count()));
    for (int i = 0; i < script.Count(); ++i)
        EXPECT_TRUE(update.commands[static_cast<std::size_t>(i)]->IsEqual(*script.Command(i))) << i;
    EXPECT_TRUE(update.tables.empty());

    const TvxUpdateScriptFile maintenance = ReadUpdateScriptFile(dir.file("s.vxmsp"));
    EXPECT_EQ(maintenance.header.FileKind, fkMaintenanceScript);
    EXPECT_TRUE(maintenance.commands.empty());
    ASSERT_EQ(maintenance.tables.size(), 1u);
    const TvxTableDesc& t = maintenance.tables[0];
    const TvxTableDesc& expected = *list.TableAt(0);
    EXPECT_EQ(t.TableName(), "CLI");
    ASSERT_EQ(t.FieldCount(), 2);
    EXPECT_EQ(t.GetField(1)->bytes(), expected.GetField(1)->bytes());
    ASSERT_EQ(t.ValCheckCount(), 1);
    EXPECT_EQ(t.GetValCheck(0)->bytes(), expected.GetValCheck(0)->bytes());
    ASSERT_EQ(t.RefIntCount(), 1); // both sides of a rule are kept
    EXPECT_EQ(t.GetRefInt(0)->bytes(), expected.GetRefInt(0)->bytes());
}

TEST(UpdateScriptFileTest, OtherFilesAreRefused)
{
    test::TestScript script;
    script.Add(ckCreateTable, {"T"});
    TvxMemoryStream document;
    WriteScriptDocument(document, "Morvane", script, [](TvxStream&) {});
    document.SetPosition(0);
    EXPECT_THROW(ReadUpdateScriptFile(document), EvxNotAnUpdateScript);

    TvxMemoryStream update;
    WriteUpdateScript(update, "Morvane", script);
    const std::string bytes = Bytes(update);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TvxMemoryStream part(bytes.data(), cut);
        EXPECT_ANY_THROW(ReadUpdateScriptFile(part)) << cut;
    }
}

TEST(UpdateScriptFileTest, ScriptNamesBesideTheDocument)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Dados\\novo.vxscript", "C:\\Dados\\novo"},
        {"C:\\Meus.Dados\\novo.vxscript", "C:\\Meus.Dados\\novo"}, // a dot in a folder name is not the extension
        {"/home/ana/v1.2/base.final.vxscript", "/home/ana/v1.2/base.final"},
        {"/home/ana/sem-extensao", "/home/ana/sem-extensao"},
        {"/home/ana/.vxscript", "/home/ana/.vxscript"},
        {"novo.vxscript", "novo"},
    };
    for (const auto& [document, base] : cases)
        EXPECT_EQ(ScriptFileBase(document), base) << document;
}

class TvxNullServer : public IvxUpdateServer
{
public:
    std::string ScriptFile() const override { return {}; }
    void SetScriptFile(std::string_view) override {}
    std::string Source() const override { return {}; }
    void SetSource(std::string_view) override {}
    std::string NewPath() const override { return {}; }
    void SetNewPath(std::string_view) override {}
    int Run() override { return 0; }
    void AddPassword(std::string_view) override {}
    void SetDryRun(bool) override {}
    void SetProgress(TvxUpdateProgressEvent) override {}
    const TvxUpdateReport& Report() const override { return report_; }

private:
    TvxUpdateReport report_;
};

TEST(UpdateScriptFileTest, FactoryCreatesWhatIsRegistered)
{
    CovxUpdateServer::Register({});
    EXPECT_FALSE(CovxUpdateServer::Registered());
    EXPECT_THROW(CovxUpdateServer::Create(), EvxNoUpdateServer);
    int made = 0;
    CovxUpdateServer::Register([&made] {
        ++made;
        return std::make_unique<TvxNullServer>();
    });
    EXPECT_NE(CovxUpdateServer::Create(), nullptr);
    EXPECT_NE(CovxUpdateServer::Create(), nullptr);
    EXPECT_EQ(made, 2);
    CovxUpdateServer::Register({});
}

} // namespace
} // namespace morvane
