// Memory and copying cost of one table descriptor of ordinary size: 20 fields, 3 indexes,
// 2 referential-integrity rules and 5 validity checks.

#include <benchmark/benchmark.h>

#include <string>

#include "model/clvxTableDesc.h"
#include "model/vxFieldTypes.h"

using namespace morvane;

namespace {

TvxTableDesc TypicalTable()
{
    TvxTableDesc desc;
    desc.SetAllNames("PEDIDOS");
    desc.SetExtension("DB");
    for (int i = 0; i < 20; ++i) {
        TvxFieldDesc field;
        field.setFieldNumber(i + 1);
        std::string name = "CAMPO";
        name += std::to_string(i + 1);
        field.setName(name);
        field.setType(i % 2 == 0 ? fldLong : fldAlpha);
        field.setLength(i % 2 == 0 ? 4 : 20);
        desc.InsertField(field, i);
    }
    desc.AddIndex(TvxIndexDesc{});
    desc.RenameIndex(0, "PRIMARY");
    desc.AddIndexField(1, 0);
    for (int i = 1; i < 3; ++i) {
        desc.AddIndex(TvxIndexDesc{});
        desc.RenameIndex(i, desc.NewIndexName());
        desc.AddIndexField(i + 2, i);
    }
    for (int i = 0; i < 2; ++i) {
        TvxRefIntDesc rule;
        rule.setName(desc.NewRefIntName());
        rule.setOtherTable("CLIENTES.DB");
        rule.setFieldCount(1);
        rule.setOtherField(0, 1);
        rule.setThisField(0, 5 + i);
        desc.AddRefInt(rule);
    }
    for (int i = 0; i < 5; ++i)
        desc.AddValCheck(i % 2 == 0 ? "1" : "", "", *desc.GetField(i), true, "", "");
    return desc;
}

void BM_DescriptorMemory(benchmark::State& state)
{
    std::size_t bytes = 0;
    for (auto _ : state) {
        TvxTableDesc desc = TypicalTable();
        bytes = desc.MemoryUsage();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes_per_descriptor"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DescriptorMemory);

void BM_DescriptorClone(benchmark::State& state)
{
    const TvxTableDesc desc = TypicalTable();
    for (auto _ : state) {
        TvxTableDesc copy = desc.Clone();
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_DescriptorClone);

} // namespace
