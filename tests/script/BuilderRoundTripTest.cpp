// A script built through AddCommand, saved as a document on disk and opened into a fresh
// script and table list (the tables rebuilt by replaying every loaded command, as the main
// window does) gives equal commands and identical table bytes.

#include "BuilderFixture.h"

#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "stream/TvxMemoryStream.h"
#include "support/TempDir.h"

#include <filesystem>
#include <map>

namespace morvane::test {
namespace {

namespace fs = std::filesystem;

// Rebuilds the new tables from loaded commands, as the main window's after-load handler does.
std::vector<std::uint8_t> Structures(const TvxScriptTableList& list)
{
    TvxMemoryStream stream;
    list.WriteAllStructures(stream);
    return stream.Bytes();
}

std::vector<std::uint8_t> Descriptors(const TvxScriptTableList& list)
{
    TvxMemoryStream stream;
    list.WriteAllDescriptors(stream);
    return stream.Bytes();
}

class BuilderRoundTripTest : public BuilderTest
{
protected:
    void SetUp() override
    {
        BuilderTest::SetUp();
        pedidos = SourceTable("PEDIDOS", {"COD", "DATA"});
        TvxFieldDesc valor = MakeField("VALOR", 3, 273, 10);
        valor.setUnits2(2);
        valor.setLength(17);
        auto fields = pedidos->Fields();
        fields.push_back(valor);
        pedidos->SetFields(fields);
        clientesOld = SourceTable("CLIOLD", {"COD", "NOME", "EMAIL"});
        sources = {{"PEDIDOS", pedidos.get()}, {"CLIOLD", clientesOld.get()}};
    }

    TempDir temp;
    const fs::path& dir = temp.path();
    std::unique_ptr<TvxTableDesc> pedidos;
    std::unique_ptr<TvxTableDesc> clientesOld;
    std::map<std::string, const TvxTableDesc*> sources;
};

TEST_F(BuilderRoundTripTest, SavedAndReopenedScriptGivesEqualCommandsAndTables)
{
    ASSERT_EQ(Add(ckAddAlias, {"", "STANDARD", "/dados/velho"}), 0);
    ASSERT_EQ(Add(ckAddNewAlias, {"", "STANDARD", "/dados/novo"}), 0);

    ASSERT_EQ(CreateTable("CLI"), 0);
    ASSERT_EQ(CreateField("CLI", "COD", 1), 0);
    ASSERT_EQ(CreateField("CLI", "NOME", 2, "sem nome"), 0);
    ASSERT_EQ(CreateField("CLI", "FONE", 3), 0);
    ASSERT_EQ(CreateField("CLI", "OBS", 4), 0);
    list.SetCurrentFieldPos(1);
    ASSERT_EQ(ChangeField("CLI", MakeField("NOME", 2), MakeField("NOME_COMPLETO", 2, 257, 40)), 0);
    ASSERT_EQ(DeleteField("CLI", "OBS"), 0);
    TvxIndexDesc key;
    key.setPrimary(true);
    key.setKeyFieldCount(1);
    key.setKeyField(0, 1);
    list.SelectedTable()->SetIndexes({key});
    ASSERT_TRUE(list.AddValCheck("1", "99", list.Fields()[0], true, "", "1"));

    ASSERT_EQ(AddTable("PED2", std::make_unique<TvxTableDesc>(pedidos->Clone())), 0);
    list.SetCurrentFieldPos(1);
    TvxFieldDesc data = pedidos->Fields()[1];
    TvxFieldDesc dataPed = data;
    dataPed.setName("DATA_PED");
    ASSERT_EQ(ChangeField("PED2", data, dataPed), 0);
    ASSERT_EQ(DeleteField("PED2", "VALOR"), 0);
    list.SetCurrentFieldPos(2);
    TvxFieldDesc email = clientesOld->Fields()[2];
    TvxFieldDesc emailTarget = email;
    emailTarget.setFieldNumber(3);
    ASSERT_EQ(Add(ckMoveField, {"CLIOLD", "PED2"}, TvxCommandExtras::ForFields(email, emailTarget)), 0);
    ASSERT_EQ(Add(ckAddPassword, {"CLI", "senha"}), 0);
    ASSERT_EQ(script.Count(), 11);

    const std::string file = (dir / "doc.vxscript").string();
    SaveScriptDocument(file, "Morvane", script, list);

    TvxScriptTableList loadedList;
    TvxDBScript loaded;
    loaded.SetScriptTableList(&loadedList);
    TvxScriptReplayer replayer(loadedList, [this](std::string_view name) -> const TvxTableDesc* {
        const auto it = sources.find(std::string(name));
        return it == sources.end() ? nullptr : it->second;
    });
    loaded.AfterLoad = [&replayer](TvxCommand& c) {
        ASSERT_NE(replayer.Apply(c), TvxScriptReplayer::MissingSource);
    };
    ASSERT_TRUE(OpenScriptDocument(file, loaded, loadedList));

    ASSERT_EQ(loaded.Count(), script.Count());
    for (int i = 0; i < script.Count(); ++i)
        EXPECT_TRUE(loaded.Command(i)->IsEqual(*script.Command(i))) << "command " << i;
    ASSERT_EQ(loadedList.Count(), list.Count());
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(loadedList.NameAt(i), list.NameAt(i));
    EXPECT_EQ(Structures(loadedList), Structures(list));
    EXPECT_EQ(Descriptors(loadedList), Descriptors(list));
    EXPECT_EQ(loadedList.TableAt(0)->IndexCount(), 1);
    EXPECT_EQ(loadedList.TableAt(0)->ValCheckCount(), 1);

    // The reopened script goes on under the same rules: the loaded commands are found.
    loadedList.SelectIndex(0);
    auto again = MakeCommand(ckCreateField, {"CLI"});
    EXPECT_EQ(loaded.AddCommand(again, TvxCommandExtras::ForCreateField(MakeField("fone", 4), "")),
              vxErrFieldNameInUse);
    EXPECT_EQ(loaded.FindTableCommand("ped2"), 6);
}

// The builder records final positions (a later insert above a field shifts its number); the
// reopened table has its fields in the order they were saved in.
TEST_F(BuilderRoundTripTest, FieldsInsertedAboveEarlierInsertsKeepTheirOrderWhenReopened)
{
    ASSERT_EQ(AddTable("T", SourceTable("SRC", {"X", "Y", "Q"})), 0);
    list.SetCurrentFieldPos(1);
    ASSERT_EQ(CreateField("T", "Z", 2), 0);
    list.SetCurrentFieldPos(1);
    ASSERT_EQ(CreateField("T", "W", 2), 0);
    ASSERT_EQ(FieldNames(0), (std::vector<std::string>{"X", "W", "Z", "Y", "Q"}));

    const auto source = SourceTable("SRC", {"X", "Y", "Q"});
    TvxMemoryStream saved;
    WriteScriptDocument(saved, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
    TvxScriptTableList loadedList;
    TvxDBScript loaded;
    TvxScriptReplayer replayer(loadedList, [&](std::string_view) { return source.get(); });
    loaded.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
    saved.SetPosition(0);
    ReadScriptDocument(saved, loaded, [&](TvxStream& s) { ASSERT_TRUE(loadedList.ReadAllDescriptors(s)); });

    ASSERT_EQ(loadedList.Count(), 1);
    std::vector<std::string> names;
    for (const auto& f : loadedList.TableAt(0)->Fields())
        names.push_back(f.name());
    EXPECT_EQ(names, (std::vector<std::string>{"X", "W", "Z", "Y", "Q"}));
    EXPECT_EQ(Structures(loadedList), Structures(list));
}

TEST_F(BuilderRoundTripTest, ADocumentWithOneCreateTableHasTheDocumentedBytes)
{
    ASSERT_EQ(CreateTable("CLI"), 0);
    TvxMemoryStream stream;
    WriteScriptDocument(stream, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
    const std::vector<std::uint8_t> expected{6, 7, 'M', 'o', 'r', 'v', 'a', 'n', 'e', 6, 3, '1', '.', '0', 2, 0,
                                             2, 1, 2, 2, 2, 1, 6, 3, 'C', 'L', 'I', 2, 1, 2, 0, 2, 0, 2, 0};
    EXPECT_EQ(stream.Bytes(), expected);
}


TEST(ScriptReplayer, AddTableWithoutItsSourceIsReportedAndAddsNothing)
{
    TvxScriptTableList list;
    TvxScriptReplayer replayer(list, [](std::string_view) -> const TvxTableDesc* { return nullptr; });
    auto add = MakeCommand(ckAddTable, {"NOVA", "GONE"});
    EXPECT_EQ(replayer.Apply(*add), TvxScriptReplayer::MissingSource);
    EXPECT_EQ(list.Count(), 0);
    auto alias = MakeCommand(ckAddAlias, {"", "", "/tmp"});
    EXPECT_EQ(replayer.Apply(*alias), TvxScriptReplayer::NotATableEdit);
}

TEST(ScriptReplayer, FieldCommandsOnUnknownTablesOrFieldsChangeNothingAndAMoveNeedsNoSource)
{
    TvxScriptTableList list;
    TvxScriptReplayer replayer(list, {});
    auto create = MakeCommand(ckCreateTable, {"T"});
    ASSERT_EQ(replayer.Apply(*create), TvxScriptReplayer::Applied);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.TableAt(0)->FileName(), "T.DB");

    auto field = MakeCommand(ckCreateField, {"T", "Codigo", 1, 267, 0, 4});
    replayer.Apply(*field);
    ASSERT_EQ(list.TableAt(0)->FieldCount(), 1);
    auto elsewhere = MakeCommand(ckCreateField, {"OTHER", "X", 1, 257, 10, 10});
    replayer.Apply(*elsewhere);
    auto changeMissing = MakeCommand(ckChangeField, {"T", "Nope", 1, 267, 0, 4, "Y", 1, 257, 5, 5});
    replayer.Apply(*changeMissing);
    ASSERT_EQ(list.TableAt(0)->FieldCount(), 1);
    EXPECT_EQ(list.TableAt(0)->GetField(0)->name(), "Codigo");
    EXPECT_EQ(list.TableAt(0)->GetField(0)->type(), 267);
    // The target block says all the table holds of a moved field: no source database needed.
    auto move = MakeCommand(ckMoveField, {"SRC", "T", "Codigo", 1, 267, 0, 4, "Z", 2, 267, 0, 4});
    replayer.Apply(*move);
    ASSERT_EQ(list.TableAt(0)->FieldCount(), 2);
    EXPECT_EQ(list.TableAt(0)->GetField(1)->name(), "Z");

    auto bcd = MakeCommand(ckCreateField, {"T", "Valor", 3, 273, 2, 17});
    replayer.Apply(*bcd);
    ASSERT_EQ(list.TableAt(0)->FieldCount(), 3);
    EXPECT_EQ(list.TableAt(0)->GetField(2)->units2(), 2);
    EXPECT_EQ(list.TableAt(0)->GetField(2)->units1(), 0);

    auto del = MakeCommand(ckDeleteField, {"t", "CODIGO"});
    replayer.Apply(*del);
    ASSERT_EQ(list.TableAt(0)->FieldCount(), 2);
    EXPECT_EQ(list.TableAt(0)->GetField(0)->name(), "Z");
    EXPECT_EQ(list.TableAt(0)->GetField(0)->fieldNumber(), 1);
}

// The replayer lays a table out from what it replayed into it; a table whose fields changed
// behind its back (another table now at the address of one that is gone, fields set by the
// editor) is taken as it stands.
TEST(ScriptReplayer, FieldsChangedBehindTheReplayerAreKept)
{
    TvxScriptTableList list;
    TvxScriptReplayer replayer(list, {});
    replayer.Apply(*MakeCommand(ckCreateTable, {"T"}));
    replayer.Apply(*MakeCommand(ckCreateField, {"T", "A", 1, 257, 10, 10}));
    list.TableAt(0)->InsertField(MakeField("X", 1), 0);
    replayer.Apply(*MakeCommand(ckCreateField, {"T", "B", 3, 257, 10, 10}));
    std::vector<std::string> names;
    for (const auto& f : list.TableAt(0)->Fields())
        names.push_back(f.name());
    EXPECT_EQ(names, (std::vector<std::string>{"X", "A", "B"}));
}

} // namespace
} // namespace morvane::test
