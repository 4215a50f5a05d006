// The diagram of the example database (key fields first and marked, tables without rules in
// their cluster, every box and arrow placed) and of a script over it: what the script adds,
// removes, renames and changes, each marked.
#include "db/cpDatabase.h"
#include "db/IvxEngine.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptTableList.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "diagram/TvxDiagramGraph.h"
#include "diagram/vxDiagramOfScript.h"
#include "diagram/vxDiagramOfTables.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using Mark = TvxDiagramMark;

class DiagramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::copy(MORVANE_EXAMPLE_DIR, src);
        db.OpenByPath(src.string());
        tables = db.ReadTables();
        for (const TvxTableItem& t : tables)
            sources.push_back({t.name, t.desc.get()});
        script.SetScriptTableList(&list);
    }
    void Add(std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {})
    {
        auto command = std::make_unique<TvxCommand>(kind, values);
        ASSERT_EQ(script.AddCommand(command, std::move(extras)), 0) << CommandKindLabel(kind);
    }
    std::unique_ptr<TvxTableDesc> Copy(const std::string& name)
    {
        for (const TvxDiagramSource& s : sources)
            if (s.name == name)
                return std::make_unique<TvxTableDesc>(s.desc->Clone());
        return nullptr;
    }
    void ChangeField(const std::string& table, const std::string& field, const TvxFieldDesc& to)
    {
        list.SelectIndex(list.IndexOfName(table));
        list.SetCurrentFieldPos(list.FieldNumber(field) - 1);
        Add(ckChangeField, {table}, TvxCommandExtras::ForFields(*list.CurrentField(), to));
    }

    test::TempDir tmp;
    fs::path src = tmp.path() / "exemplo";
    std::unique_ptr<IvxEngine> engine = CreateParadoxEngine(tmp.file("aliases.conf"));
    TvxDatabase db{*engine};
    TvxTableItems tables;
    std::vector<TvxDiagramSource> sources;
    TvxScriptTableList list;
    TvxDBScript script;
};

const TvxDiagramTable& TableOf(const TvxDiagram& d, const std::string& name)
{
    const int at = d.TableIndex(name);
    EXPECT_GE(at, 0) << name;
    return d.tables.at(static_cast<std::size_t>(std::max(at, 0)));
}

TEST_F(DiagramTest, KeysFirstRulesToMastersEveryBoxPlaced)
{
    // A table that no rule touches goes into the cluster of its own.
    TvxTableDesc lone;
    lone.SetFields({test::MakeField("A", 1, fldLong), test::MakeField("B", 2, fldAlpha, 12)});
    sources.push_back({"AVULSA", &lone});
    const TvxDiagram d = DiagramOfTables(sources);
    ASSERT_EQ(d.tables.size(), 5u);
    for (const TvxDiagramSource& s : sources) {
        const TvxDiagramTable& t = TableOf(d, s.name);
        ASSERT_EQ(t.fields.size(), static_cast<std::size_t>(s.desc->FieldCount())) << s.name;
        const TvxIndexDesc* key = s.desc->IndexCount() > 0 && s.desc->IsPrimary(0) ? s.desc->GetIndex(0) : nullptr;
        const int keyCount = key ? key->keyFieldCount() : 0;
        for (int i = 0; i < static_cast<int>(t.fields.size()); ++i)
            EXPECT_EQ(t.fields[static_cast<std::size_t>(i)].key, i < keyCount) << s.name << " " << i;
        for (int i = 0; i < keyCount; ++i)
            EXPECT_EQ(t.fields[static_cast<std::size_t>(i)].name, s.desc->GetField(key->keyField(i) - 1)->name());
        EXPECT_EQ(t.indexCount, s.desc->IndexCount() - (key ? 1 : 0)) << s.name;
    }
    EXPECT_EQ(TableOf(d, "AVULSA").fields[1].type, "A12");
    ASSERT_EQ(d.rules.size(), 2u);
    EXPECT_EQ(d.rules[0].dependent + ">" + d.rules[0].master + " " + d.rules[0].fields[0] + ">" +
                  d.rules[0].masterFields[0],
              "ITENS>PRODUTOS Produto>Codigo");
    EXPECT_FALSE(d.rules[0].cascade);
    EXPECT_TRUE(d.rules[1].cascade);

    const TvxDiagramGraph graph(d);
    const TvxDiagramLayout& l = graph.Layout();
    const auto inside = [](const TvxDiagramRect& r, const TvxDiagramRect& in) {
        return r.width > 0 && r.height > 0 && r.x >= in.x - 0.5 && r.y >= in.y - 0.5 &&
               r.x + r.width <= in.x + in.width + 0.5 && r.y + r.height <= in.y + in.height + 0.5;
    };
    for (const TvxDiagramRect& box : l.tables)
        EXPECT_TRUE(inside(box, {0, 0, l.width, l.height}));
    ASSERT_TRUE(l.isolated.has_value());
    EXPECT_TRUE(inside(l.tables[4], *l.isolated));
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(inside(l.tables[static_cast<std::size_t>(i)], *l.isolated)) << i;
    for (std::size_t i = 0; i < l.rules.size(); ++i) {
        const TvxDiagramEdgePlace& e = l.rules[i];
        ASSERT_GE(e.spline.size(), 4u);
        EXPECT_EQ(e.spline.size() % 3, 1u);
        ASSERT_TRUE(e.arrowTip.has_value());
        // From the dependent's box to the master's: the arrow ends at the master's edge.
        const TvxDiagramRect& master = l.tables[static_cast<std::size_t>(d.TableIndex(d.rules[i].master))];
        EXPECT_NEAR(e.arrowTip->y, master.y, 2.0);
        EXPECT_GT(e.label.width, 0);
    }
}

TEST_F(DiagramTest, ScriptChangesMarked)
{
    Add(ckAddAlias, {"", "STANDARD", src.string()});
    // CLIENTES as CLIENTE: Nome renamed, Cidade longer, Observacoes dropped, Email added.
    Add(ckAddTable, {"CLIENTE"}, TvxCommandExtras::ForAddTable(Copy("CLIENTES")));
    TvxFieldDesc nome = *list.TableByName("CLIENTE")->GetField(1);
    nome.setName("NomeCompleto");
    ChangeField("CLIENTE", "Nome", nome);
    ChangeField("CLIENTE", "Cidade", test::MakeField("Cidade", 3, fldAlpha, 40));
    Add(ckDeleteField, {"CLIENTE", "Observacoes"});
    list.SetCurrentFieldPos(list.FieldCount());
    Add(ckCreateField, {"CLIENTE"}, TvxCommandExtras::ForCreateField(test::MakeField("Email", 8, fldAlpha, 60), ""));
    // PEDIDOS kept, its rule on CLIENTES dropped; NOTAS new, with a rule on PEDIDOS; ITENS and
    // PRODUTOS not carried.
    Add(ckAddTable, {"PEDIDOS"}, TvxCommandExtras::ForAddTable(Copy("PEDIDOS")));
    list.TableByName("PEDIDOS")->SetRefInts({});
    Add(ckCreateTable, {"NOTAS"});
    Add(ckCreateField, {"NOTAS"}, TvxCommandExtras::ForCreateField(test::MakeField("Pedido", 1, fldLong), ""));
    TvxRefIntDesc rule;
    rule.setName("NotaPedido");
    rule.setKind(TvxRefIntDesc::Dependent);
    rule.setOtherTable("PEDIDOS.DB");
    rule.setFieldCount(1);
    rule.setThisField(0, 1);
    rule.setOtherField(0, 1);
    list.TableByName("NOTAS")->SetRefInts({rule});

    const TvxDiagram d = DiagramOfScript(sources, list, script);
    EXPECT_TRUE(d.showsChanges);
    struct Case
    {
        std::string table;
        Mark mark;
        std::string oldName;
    };
    for (const Case& c :
         {Case{"CLIENTE", Mark::Renamed, "CLIENTES"}, Case{"PEDIDOS", Mark::Changed, ""},
          Case{"NOTAS", Mark::Added, ""}, Case{"ITENS", Mark::Removed, ""}, Case{"PRODUTOS", Mark::Removed, ""}}) {
        const TvxDiagramTable& t = TableOf(d, c.table);
        EXPECT_EQ(t.mark, c.mark) << c.table;
        EXPECT_EQ(t.oldName, c.oldName) << c.table;
    }
    std::vector<std::string> fields;
    for (const TvxDiagramField& f : TableOf(d, "CLIENTE").fields)
        fields.push_back(f.name + ":" + std::to_string(static_cast<int>(f.mark)) + ":" + f.oldName + ":" + f.oldType);
    EXPECT_EQ(fields,
              (std::vector<std::string>{"Codigo:0::", "NomeCompleto:3:Nome:", "Cidade:4::A30", "UF:0::",
                                        "Nascimento:0::", "Limite:0::", "Ativo:0::", "Email:1::", "Observacoes:2::"}));
    EXPECT_EQ(TableOf(d, "NOTAS").fields.at(0).mark, Mark::Added);
    std::vector<std::string> rules;
    for (const TvxDiagramRule& r : d.rules)
        rules.push_back(r.dependent + "->" + r.master + ":" + std::to_string(static_cast<int>(r.mark)));
    std::sort(rules.begin(), rules.end());
    EXPECT_EQ(rules, (std::vector<std::string>{"ITENS->PRODUTOS:2", "NOTAS->PEDIDOS:1", "PEDIDOS->CLIENTE:2"}));
    EXPECT_NO_THROW(TvxDiagramGraph{d});
}

} // namespace
} // namespace morvane
