// The example database written at build time, reached the way ./run sets it up: the alias
// EXEMPLO created by tools/ensure-alias-config.sh, read back through our engine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "DatabaseTestSupport.h"
#include "EngineTestDir.h"
#include "db/cpDatabase.h"
#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"

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

} // namespace

TEST(ExampleDatabase, RunScriptAliasOpensTheGeneratedTables)
{
    EngineTestDir dir;
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
