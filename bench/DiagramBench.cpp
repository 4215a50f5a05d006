// A picture of a database of 1,000 tables (8 fields each, a primary key and a secondary index;
// six tables in ten depend on an earlier one, the others stand alone): the diagram built from
// the descriptors, laid out by dot and rendered as SVG. Target: under 2 s.

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

#include "diagram/TvxDiagramGraph.h"
#include "diagram/vxDiagramOfTables.h"

using namespace morvane;

namespace {

std::string TableName(int i)
{
    std::string name = "TABELA";
    name += std::to_string(i);
    return name;
}

std::unique_ptr<TvxTableDesc> Table(int i)
{
    auto desc = std::make_unique<TvxTableDesc>();
    desc->SetAllNames(TableName(i));
    desc->SetExtension("DB");
    std::vector<TvxFieldDesc> fields;
    for (int f = 0; f < 8; ++f) {
        TvxFieldDesc field;
        field.setFieldNumber(f + 1);
        std::string name = "CAMPO";
        name += std::to_string(f);
        field.setName(f == 0 ? "CODIGO" : name);
        field.setType(f % 3 == 0 ? fldLong : f % 3 == 1 ? fldAlpha : fldDate);
        field.setUnits1(f % 3 == 1 ? 30 : 0);
        fields.push_back(field);
    }
    desc->SetFields(std::move(fields));
    TvxIndexDesc primary;
    primary.setPrimary(true);
    primary.setKeyFieldCount(1);
    primary.setKeyField(0, 1);
    TvxIndexDesc second;
    second.setName("CAMPO2");
    second.setKeyFieldCount(1);
    second.setKeyField(0, 3);
    desc->SetIndexes({primary, second});
    if (i > 0 && i % 10 < 6) {
        TvxRefIntDesc rule;
        std::string name(1, 'R');
        name += std::to_string(i);
        rule.setName(name);
        rule.setKind(TvxRefIntDesc::Dependent);
        rule.setOtherTable(TableName(i / 2) + ".DB");
        rule.setUpdateRule(i % 2 == 0 ? TvxRefIntDesc::Cascade : TvxRefIntDesc::Prohibit);
        rule.setFieldCount(1);
        rule.setThisField(0, 4);
        rule.setOtherField(0, 1);
        desc->SetRefInts({rule});
    }
    return desc;
}

struct TvxBenchDatabase
{
    explicit TvxBenchDatabase(int count)
    {
        for (int i = 0; i < count; ++i) {
            descs.push_back(Table(i));
            sources.push_back({TableName(i), descs.back().get()});
        }
    }
    std::vector<std::unique_ptr<TvxTableDesc>> descs;
    std::vector<TvxDiagramSource> sources;
};

void BM_DiagramLayoutAndSvg(benchmark::State& state)
{
    const TvxBenchDatabase db(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const TvxDiagramGraph graph(DiagramOfTables(db.sources));
        bytes = graph.Render(TvxDiagramFormat::Svg).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["svg_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DiagramLayoutAndSvg)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The layout alone, as the editor's window takes it (it draws the picture itself).
void BM_DiagramLayout(benchmark::State& state)
{
    const TvxBenchDatabase db(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const TvxDiagramGraph graph(DiagramOfTables(db.sources));
        benchmark::DoNotOptimize(graph.Layout().width);
    }
}
BENCHMARK(BM_DiagramLayout)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
