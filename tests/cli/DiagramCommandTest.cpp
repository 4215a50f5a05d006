// morvane-cli diagram against inspect --json: every table a node of the SVG titled with its name,
// every dependent rule an edge titled DEPENDENT->MASTER; the other formats; the failures; and a
// script document drawn with its changes marked.
#include "db/cpDatabase.h"
#include "db/IvxEngine.h"
#include "script/cpDBStructScript.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptTableList.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "support/SamplePath.h"
#include "support/TempDir.h"
#include "support/TestFields.h"

namespace morvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string Unescaped(std::string s)
{
    for (const auto& [from, to] : {std::pair{"&#45;", "-"}, {"&gt;", ">"}, {"&lt;", "<"}, {"&amp;", "&"}})
        for (std::size_t at; (at = s.find(from)) != std::string::npos;)
            s.replace(at, std::string_view(from).size(), to);
    return s;
}

// Titles of the SVG's groups of one class ("node", "edge"), sorted.
std::vector<std::string> Titles(const std::string& svg, const std::string& cls)
{
    std::vector<std::string> out;
    const std::regex group("<g id=\"[^\"]*\" class=\"" + cls + "\">\\s*<title>([^<]*)</title>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), group); it != std::sregex_iterator(); ++it)
        out.push_back(Unescaped((*it)[1]));
    std::sort(out.begin(), out.end());
    return out;
}

class DiagramCommandTest : public ::testing::Test
{
protected:
    test::CliResult Run(const std::string& command, const std::string& args)
    {
        return test::RunCli(command + " " + args, tmp.path() / "err.txt",
                            "MORVANE_ENGINE_CONFIG=" + test::ShellQuote(config));
    }
    std::string Q(const std::string& p) const { return test::ShellQuote(p); }

    test::TempDir tmp;
    std::string config = tmp.file("aliases.conf");
};

TEST_F(DiagramCommandTest, EveryTableANodeAndEveryRuleAnEdgeAsInspectGivesThem)
{
    for (const std::string& dir : {std::string(MORVANE_EXAMPLE_DIR), test::SamplePath("pd-joins"),
                                   test::SamplePath("pd-areas"), test::SamplePath("pd-fields")}) {
        SCOPED_TRACE(dir);
        const test::CliResult inspect = Run("inspect", Q(dir) + " --json");
        ASSERT_EQ(inspect.status, 0) << inspect.err;
        const json tables = json::parse(inspect.out)["tables"];
        std::vector<std::string> nodes, edges;
        for (const json& t : tables) {
            nodes.push_back(t["name"]);
            for (const json& r : t["refInts"]) {
                if (r["kind"] != "dependent")
                    continue;
                std::string master = r["otherTable"];
                master = master.substr(0, master.find('.'));
                for (const json& m : tables)
                    if (strcasecmp(m["name"].get<std::string>().c_str(), master.c_str()) == 0)
                        master = m["name"];
                edges.push_back(t["name"].get<std::string>() + "->" + master);
            }
        }
        std::sort(nodes.begin(), nodes.end());
        std::sort(edges.begin(), edges.end());

        const std::string svg = tmp.file("d.svg");
        const test::CliResult r = Run("diagram", Q(dir) + " -o " + Q(svg));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string text = test::Slurp(svg);
        EXPECT_EQ(Titles(text, "node"), nodes);
        EXPECT_EQ(Titles(text, "edge"), edges);
    }
    const std::string png = tmp.file("d.png"), dot = tmp.file("d.DOT");
    ASSERT_EQ(Run("diagram", Q(test::SamplePath("pd-joins")) + " -o " + Q(png)).status, 0);
    EXPECT_EQ(test::Slurp(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_EQ(Run("diagram", Q(test::SamplePath("pd-joins")) + " --output " + Q(dot)).status, 0);
    EXPECT_NE(test::Slurp(dot).find("fk4 -> two"), std::string::npos);
    EXPECT_NE(test::Slurp(dot).find("pos="), std::string::npos) << "the DOT written is laid out";
}

TEST_F(DiagramCommandTest, FailuresWriteNothing)
{
    const std::string out = tmp.file("x.svg");
    struct Case
    {
        std::string args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {Q(MORVANE_EXAMPLE_DIR), 2, "usage"},
        {Q(MORVANE_EXAMPLE_DIR) + " -o " + Q(tmp.file("x.pdf")), 2, "must end in .svg, .png or .dot"},
        {Q(tmp.file("nada")) + " -o " + Q(out), 1, "neither a directory nor a known alias"},
        {Q(MORVANE_EXAMPLE_DIR) + " -o " + Q(out) + " --script " + Q(tmp.file("nada.vxscript")), 1, "Cannot open"},
        {Q(MORVANE_EXAMPLE_DIR) + " -o " + Q(tmp.file("nada/x.svg")), 1, "nada"},
    };
    for (const Case& c : cases) {
        const test::CliResult r = Run("diagram", c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_FALSE(fs::exists(out)) << c.args;
    }
}

TEST_F(DiagramCommandTest, ScriptDrawnWithItsChangesMarked)
{
    const fs::path src = tmp.path() / "fonte";
    fs::copy(MORVANE_EXAMPLE_DIR, src);
    TvxScriptTableList list;
    TvxDBScript script;
    script.SetScriptTableList(&list);
    const auto add = [&](std::uint8_t kind, std::vector<TvxValue> values, TvxCommandExtras extras = {}) {
        auto command = std::make_unique<TvxCommand>(kind, values);
        ASSERT_EQ(script.AddCommand(command, std::move(extras)), 0) << CommandKindLabel(kind);
    };
    add(ckAddAlias, {"", "STANDARD", src.string()});
    auto engine = CreateParadoxEngine(config);
    TvxDatabase db(*engine);
    db.OpenByPath(src.string());
    add(ckAddTable, {"PEDIDOS"},
        TvxCommandExtras::ForAddTable(std::make_unique<TvxTableDesc>(db.ReadTable(db.FindTable("PEDIDOS")).Clone())));
    add(ckCreateTable, {"NOTAS"});
    add(ckCreateField, {"NOTAS"}, TvxCommandExtras::ForCreateField(test::MakeField("Pedido", 1, fldLong), ""));
    const std::string document = tmp.file("novo.vxscript");
    SaveScriptDocument(document, "Morvane", script, list);

    const std::string svg = tmp.file("novo.svg");
    const test::CliResult r = Run("diagram", Q(src.string()) + " -o " + Q(svg) + " --script " + Q(document));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = test::Slurp(svg);
    EXPECT_EQ(Titles(text, "node"), (std::vector<std::string>{"CLIENTES", "ITENS", "NOTAS", "PEDIDOS", "PRODUTOS"}));
    EXPECT_EQ(Titles(text, "edge"), (std::vector<std::string>{"ITENS->PRODUTOS", "PEDIDOS->CLIENTES"}));
    EXPECT_NE(text.find("[+] NOTAS"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(\[&#45;\] </text>\s*<text[^>]*line-through[^>]*>ITENS<)")));
    EXPECT_NE(text.find("Alterações do script"), std::string::npos);
}

} // namespace
} // namespace morvane
