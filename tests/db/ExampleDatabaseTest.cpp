// The example database written at build time, reached the way ./run sets it up: the alias
// EXEMPLO created by tools/ensure-alias-config.sh, read back through our engine with its
// keys, secondary indexes, validity checks and referential-integrity rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "DatabaseTestSupport.h"
#include "db/cpDatabase.h"
#include "model/clvxTableDesc.h"
#include "model/vxEngineValues.h"
#include "model/vxFieldTypes.h"
#include "support/TempDir.h"

using namespace morvane;
using namespace morvane::test;
namespace fs = std::filesystem;

namespace {

const fs::path tools = fs::path(MORVANE_TEST_DATA_DIR).parent_path().parent_path() / "tools";

int ensureAliasConfig(const std::string& config, const std::string& exampleDir)
{
    const std::string cmd = "MORVANE_ENGINE_CONFIG='" + config + "' '" + (tools / "ensure-alias-config.sh").string() +
                            "' '" + exampleDir + "'";
    return std::system(cmd.c_str());
}

// The example's tables by file name, read through the directory as the editor reads them.
class ExampleTables
{
public:
    ExampleTables() : engine_(CreateParadoxEngine(dir_.file("aliases.conf"))), db_(*engine_)
    {
        db_.SetDataSetList(&box_);
        db_.OpenByPath(MORVANE_EXAMPLE_DIR);
    }
    const TvxTableDesc& operator[](const std::string& file) const
    {
        for (const auto& item : box_.items)
            if (item.desc->FileName() == file)
                return *item.desc;
        throw std::runtime_error(file + " missing from " MORVANE_EXAMPLE_DIR);
    }

private:
    TempDir dir_;
    std::unique_ptr<IvxEngine> engine_;
    TvxDatabase db_;
    RecordingDataSetList box_;
};

const TvxValCheckDesc* checkOf(const TvxTableDesc& t, int field)
{
    for (const auto& c : t.ValChecks())
        if (c.fieldNumber() == field)
            return &c;
    return nullptr;
}

const TvxIndexDesc* indexNamed(const TvxTableDesc& t, const std::string& name)
{
    for (const auto& x : t.Indexes())
        if (x.name() == name)
            return &x;
    return nullptr;
}

std::vector<int> keyFields(const TvxIndexDesc& x)
{
    std::vector<int> out;
    for (int i = 0; i < x.keyFieldCount(); ++i)
        out.push_back(x.keyField(i));
    return out;
}

template <typename T>
T valueOf(const std::uint8_t* area)
{
    T v{};
    std::memcpy(&v, area, sizeof v);
    return v;
}

} // namespace

TEST(ExampleDatabase, RunScriptAliasOpensTheGeneratedTables)
{
    TempDir dir;
    const std::string config = dir.file("cfg/morvane/aliases.conf");
    ASSERT_EQ(ensureAliasConfig(config, MORVANE_EXAMPLE_DIR), 0);
    // A second run leaves an existing configuration alone.
    dir.write("cfg/morvane/aliases.conf", dir.read("cfg/morvane/aliases.conf") + "\n[OUTRO]\nPATH=/x\n");
    ASSERT_EQ(ensureAliasConfig(config, "/elsewhere"), 0);

    auto engine = CreateParadoxEngine(config);
    EXPECT_EQ(engine->Session(vxSession).AliasNames(), (TvxStringList{"EXEMPLO", "OUTRO"}));
    TvxDatabase db(*engine);
    RecordingDataSetList box;
    db.SetDataSetList(&box);
    db.SetAlias("EXEMPLO");
    EXPECT_EQ(db.AliasPath(), MORVANE_EXAMPLE_DIR);
    db.SetConnected(true);

    std::map<std::string, const TvxTableDesc*> byFile;
    for (const auto& item : box.items)
        byFile[item.desc->FileName()] = item.desc.get();
    ASSERT_EQ(byFile.size(), 4u) << "tables in " << MORVANE_EXAMPLE_DIR;
    for (const auto& [file, desc] : byFile) {
        EXPECT_EQ(desc->TableLevel(), 7) << file;
        EXPECT_EQ(desc->CodePage(), 1252) << file;
        EXPECT_TRUE(desc->HasPrimaryKey()) << file;
        EXPECT_FALSE(desc->Protected()) << file;
    }
    const TvxTableDesc* itens = byFile["ITENS.DB"];
    ASSERT_NE(itens, nullptr);
    ASSERT_EQ(itens->FieldCount(), 5);
    EXPECT_EQ(itens->GetIndex(0)->keyFieldCount(), 2);
    EXPECT_EQ(itens->GetField(4)->type(), fldBcd);
    EXPECT_EQ(itens->GetField(4)->units2(), 2);
    const TvxTableDesc* pedidos = byFile["PEDIDOS.DB"];
    ASSERT_NE(pedidos, nullptr);
    std::vector<int> types;
    for (const auto& f : pedidos->Fields())
        types.push_back(f.type());
    EXPECT_EQ(types, (std::vector<int>{fldLong, fldLong, fldDate, fldTime, fldTimestamp, fldAlpha}));
}

TEST(ExampleDatabase, TablesCarrySecondaryIndexes)
{
    const ExampleTables tables;
    const TvxTableDesc& clientes = tables["CLIENTES.DB"];
    ASSERT_EQ(clientes.IndexCount(), 2);
    const TvxIndexDesc* byName = indexNamed(clientes, "PorNome");
    ASSERT_NE(byName, nullptr);
    EXPECT_FALSE(byName->primary());
    EXPECT_TRUE(byName->maintained());
    EXPECT_TRUE(byName->caseInsensitive());
    EXPECT_EQ(keyFields(*byName), std::vector<int>{2});

    const TvxTableDesc& pedidos = tables["PEDIDOS.DB"];
    ASSERT_EQ(pedidos.IndexCount(), 3);
    const TvxIndexDesc* cliente = indexNamed(pedidos, "Cliente");
    ASSERT_NE(cliente, nullptr);
    EXPECT_FALSE(cliente->caseInsensitive());
    EXPECT_EQ(keyFields(*cliente), std::vector<int>{2});
    const TvxIndexDesc* byDate = indexNamed(pedidos, "PorData");
    ASSERT_NE(byDate, nullptr);
    EXPECT_EQ(keyFields(*byDate), (std::vector<int>{3, 4}));

    const TvxIndexDesc* produto = indexNamed(tables["ITENS.DB"], "Produto");
    ASSERT_NE(produto, nullptr);
    EXPECT_EQ(keyFields(*produto), std::vector<int>{3});
    EXPECT_EQ(tables["PRODUTOS.DB"].IndexCount(), 1);
}

TEST(ExampleDatabase, ValidityChecksReadBackAsWritten)
{
    const ExampleTables tables;
    const TvxTableDesc& clientes = tables["CLIENTES.DB"];
    EXPECT_EQ(clientes.ValCheckCount(), 6);
    const auto* nome = checkOf(clientes, 2);
    ASSERT_NE(nome, nullptr);
    EXPECT_TRUE(nome->required());
    EXPECT_FALSE(nome->hasMinimum() || nome->hasMaximum() || nome->hasDefault());
    const auto* cidade = checkOf(clientes, 3);
    ASSERT_NE(cidade, nullptr);
    EXPECT_EQ(ValCheckTexts(*cidade, fldAlpha).defaultValue, "S\xe3o Paulo"); // Windows-1252
    const auto* uf = checkOf(clientes, 4);
    ASSERT_NE(uf, nullptr);
    EXPECT_TRUE(uf->required());
    EXPECT_EQ(uf->picture(), "&&");
    const auto* nascimento = checkOf(clientes, 5);
    ASSERT_NE(nascimento, nullptr);
    ASSERT_TRUE(nascimento->hasMinimum());
    const TvxDate earliest = DecodeDate(valueOf<std::int32_t>(nascimento->minimum()));
    EXPECT_EQ(earliest.year * 10000 + earliest.month * 100 + earliest.day, 19000101);
    const auto* limite = checkOf(clientes, 6);
    ASSERT_NE(limite, nullptr);
    ASSERT_TRUE(limite->hasMinimum() && limite->hasMaximum() && limite->hasDefault());
    EXPECT_EQ(valueOf<double>(limite->minimum()), 0.0);
    EXPECT_EQ(valueOf<double>(limite->maximum()), 50000.0);
    EXPECT_EQ(valueOf<double>(limite->defaultValue()), 1000.0);
    const auto* ativo = checkOf(clientes, 7);
    ASSERT_NE(ativo, nullptr);
    ASSERT_TRUE(ativo->hasDefault());
    EXPECT_NE(ativo->defaultValue()[0], 0);

    const TvxTableDesc& produtos = tables["PRODUTOS.DB"];
    const auto* estoque = checkOf(produtos, 4);
    ASSERT_NE(estoque, nullptr);
    ASSERT_TRUE(estoque->hasMinimum() && estoque->hasDefault());
    EXPECT_EQ(valueOf<std::int16_t>(estoque->minimum()), 0);
    EXPECT_FALSE(estoque->hasMaximum());

    const TvxTableDesc& pedidos = tables["PEDIDOS.DB"];
    const auto* numero = checkOf(pedidos, 1);
    ASSERT_NE(numero, nullptr);
    EXPECT_EQ(valueOf<std::int32_t>(numero->minimum()), 1);
    const auto* hora = checkOf(pedidos, 4);
    ASSERT_NE(hora, nullptr);
    EXPECT_EQ(valueOf<std::int32_t>(hora->minimum()), 7 * 3600000);
    EXPECT_EQ(valueOf<std::int32_t>(hora->maximum()), 20 * 3600000);

    const auto* desconto = checkOf(tables["ITENS.DB"], 5);
    ASSERT_NE(desconto, nullptr);
    const TvxValCheckTexts texts = ValCheckTexts(*desconto, fldBcd);
    ASSERT_TRUE(texts.maximum && texts.minimum);
    EXPECT_EQ(std::stod(*texts.maximum), 50.0) << *texts.maximum;
    EXPECT_EQ(std::stod(*texts.minimum), 0.0) << *texts.minimum;
}

TEST(ExampleDatabase, ReferentialIntegrityOnBothSides)
{
    const ExampleTables tables;
    struct Side
    {
        const char* table;
        const char* rule;
        TvxRefIntDesc::Kind kind;
        const char* other;
        TvxRefIntDesc::Rule update;
        int thisField;
        int otherField;
    };
    const Side sides[] = {
        {"PEDIDOS.DB", "PedidoCliente", TvxRefIntDesc::Dependent, "CLIENTES.DB", TvxRefIntDesc::Cascade, 2, 1},
        {"CLIENTES.DB", "PedidoCliente", TvxRefIntDesc::Master, "PEDIDOS.DB", TvxRefIntDesc::Cascade, 1, 2},
        {"ITENS.DB", "ItemProduto", TvxRefIntDesc::Dependent, "PRODUTOS.DB", TvxRefIntDesc::Prohibit, 3, 1},
        {"PRODUTOS.DB", "ItemProduto", TvxRefIntDesc::Master, "ITENS.DB", TvxRefIntDesc::Prohibit, 1, 3},
    };
    for (const Side& s : sides) {
        const TvxTableDesc& t = tables[s.table];
        ASSERT_EQ(t.RefIntCount(), 1) << s.table;
        const TvxRefIntDesc& r = t.RefInts().front();
        EXPECT_EQ(r.name(), s.rule) << s.table;
        EXPECT_EQ(r.kind(), s.kind) << s.table;
        EXPECT_EQ(r.otherTable(), s.other) << s.table;
        EXPECT_EQ(r.updateRule(), s.update) << s.table;
        ASSERT_EQ(r.fieldCount(), 1) << s.table;
        EXPECT_EQ(r.thisField(0), s.thisField) << s.table;
        EXPECT_EQ(r.otherField(0), s.otherField) << s.table;
    }
}
