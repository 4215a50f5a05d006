// A script built through AddCommand, saved as a document on disk and opened into a fresh
// script and table list (the tables rebuilt by replaying every loaded command, as the main
// window does) gives equal commands and identical table bytes.

#include "BuilderFixture.h"

#include "script/TvxScriptDocument.h"
#include "stream/TvxMemoryStream.h"

#include <filesystem>
#include <map>

namespace morvane::test {
namespace {

namespace fs = std::filesystem;

// Rebuilds the new tables from loaded commands, as the main window's after-load handler does.
class Replayer
{
public:
    Replayer(TvxScriptTableList& list, const std::map<std::string, const TvxTableDesc*>& sources)
        : list_(list), sources_(sources)
    {
    }

    void operator()(TvxCommand& c)
    {
        switch (c.Kind()) {
        case ckCreateTable: {
            auto desc = std::make_unique<TvxTableDesc>();
            desc->SetTableName(c.ParamText(0));
            desc->SetExtension("DB");
            desc->SetTableType("PARADOX");
            const std::string name = desc->TableName();
            list_.AddTable(name, std::move(desc));
            break;
        }
        case ckAddTable: {
            auto source = sources_.find(c.ParamText(1));
            ASSERT_NE(source, sources_.end());
            auto desc = std::make_unique<TvxTableDesc>(source->second->Clone());
            desc->SetAllNames(c.ParamText(0));
            list_.AddTable(c.ParamText(0), std::move(desc));
            break;
        }
        case ckCreateField: {
            TvxFieldDesc f;
            Fill(f, c, 1);
            if (TvxTableDesc* t = list_.TableByName(c.ParamText(0)))
                t->InsertField(f, f.fieldNumber() - 1);
            break;
        }
        case ckChangeField: {
            TvxTableDesc* t = list_.TableByName(c.ParamText(0));
            TvxFieldDesc f;
            if (t && t->FindField(c.ParamText(1), f)) {
                Fill(f, c, 6);
                t->SetField(f, f.fieldNumber() - 1);
            }
            break;
        }
        case ckMoveField: {
            auto source = sources_.find(c.ParamText(0));
            TvxTableDesc* t = list_.TableByName(c.ParamText(1));
            TvxFieldDesc f;
            if (source != sources_.end() && t && source->second->FindField(c.ParamText(2), f)) {
                Fill(f, c, 7);
                t->InsertField(f, f.fieldNumber() - 1);
            }
            break;
        }
        case ckDeleteField:
            if (TvxTableDesc* t = list_.TableByName(c.ParamText(0)))
                t->DeleteFieldByName(c.ParamText(1));
            break;
        default: break;
        }
    }

private:
    static void Fill(TvxFieldDesc& f, const TvxCommand& c, int first)
    {
        f.setName(c.ParamText(first));
        f.setFieldNumber(c.ParamInteger(first + 1));
        f.setType(c.ParamInteger(first + 2));
        if (f.type() == 273)
            f.setUnits2(c.ParamInteger(first + 3));
        else
            f.setUnits1(c.ParamInteger(first + 3));
        f.setLength(c.ParamInteger(first + 4));
    }

    TvxScriptTableList& list_;
    const std::map<std::string, const TvxTableDesc*>& sources_;
};

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
        dir = fs::temp_directory_path() / ("morvane-builder-" + std::to_string(::testing::UnitTest::GetInstance()
                                                                                  ->random_seed()) +
                                           "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);

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
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
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
    loaded.AfterLoad = Replayer(loadedList, sources);
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

TEST_F(BuilderRoundTripTest, ADocumentWithOneCreateTableHasTheDocumentedBytes)
{
    ASSERT_EQ(CreateTable("CLI"), 0);
    TvxMemoryStream stream;
    WriteScriptDocument(stream, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
    const std::vector<std::uint8_t> expected{6, 7, 'M', 'o', 'r', 'v', 'a', 'n', 'e', 6, 3, '1', '.', '0', 2, 0,
                                             2, 1, 2, 2, 2, 1, 6, 3, 'C', 'L', 'I', 2, 1, 2, 0, 2, 0, 2, 0};
    EXPECT_EQ(stream.Bytes(), expected);
}

} // namespace
} // namespace morvane::test
