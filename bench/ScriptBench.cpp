// The script builder with many commands: field commands spread over 100 new tables through
// AddCommand (every look-up and renumbering goes by table), then saving and reopening a document
// of that size (commands replayed into the table list, descriptors read back); opening hostile
// documents that declare far more than a script holds.

#include "script/cpDBStructScript.h"
#include "BenchScripts.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptReplayer.h"
#include "script/TvxScriptTableList.h"
#include "stream/EvxStreamError.h"
#include "stream/TvxMemoryStream.h"
#include "stream/TWriter.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace morvane {
namespace {

using bench::Field;
using bench::kTables;
using bench::TableName;

// Builds a script of kTables Create table commands and `fields` field commands spread over the
// tables in turn; every tenth field is changed right after it was created (folded into its
// Create field). Returns the number of AddCommand calls.
int BuildScript(TvxDBScript& script, TvxScriptTableList& list, int fields)
{
    int calls = 0;
    for (int t = 0; t < kTables; ++t) {
        auto command = std::make_unique<TvxCommand>(ckCreateTable, std::vector<TvxValue>{TableName(t)});
        script.AddCommand(command);
        ++calls;
    }
    for (int i = 0; i < fields; ++i) {
        const int t = i % kTables;
        const int number = i / kTables + 1;
        list.SelectIndex(t);
        const std::string name = "CAMPO" + std::to_string(number);
        auto command = std::make_unique<TvxCommand>(ckCreateField, std::vector<TvxValue>{TableName(t)});
        if (script.AddCommand(command, TvxCommandExtras::ForCreateField(Field(name, number), "")) != 0)
            throw std::runtime_error("field rejected");
        ++calls;
        if (i % 10 == 9) {
            list.SetCurrentFieldPos(number - 1);
            auto change = std::make_unique<TvxCommand>(ckChangeField, std::vector<TvxValue>{TableName(t)});
            script.AddCommand(change, TvxCommandExtras::ForFields(Field(name, number), Field(name + "X", number)));
            ++calls;
        }
    }
    return calls;
}

void BM_AddFieldCommands(benchmark::State& state)
{
    const int fields = static_cast<int>(state.range(0));
    int calls = 0;
    for (auto _ : state) {
        TvxScriptTableList list;
        TvxDBScript script;
        script.SetScriptTableList(&list);
        calls = BuildScript(script, list, fields);
        benchmark::DoNotOptimize(script.Count());
    }
    state.SetItemsProcessed(state.iterations() * calls);
    state.counters["commands"] = calls;
}
BENCHMARK(BM_AddFieldCommands)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveDocument(benchmark::State& state)
{
    TvxScriptTableList list;
    TvxDBScript script;
    script.SetScriptTableList(&list);
    BuildScript(script, list, static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        TvxMemoryStream stream;
        WriteScriptDocument(stream, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
        bytes = stream.Bytes().size();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["bytes_per_command"] = static_cast<double>(bytes) / script.Count();
}
BENCHMARK(BM_SaveDocument)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state)
{
    TvxScriptTableList list;
    TvxDBScript script;
    script.SetScriptTableList(&list);
    BuildScript(script, list, static_cast<int>(state.range(0)));
    TvxMemoryStream saved;
    WriteScriptDocument(saved, "Morvane", script, [&](TvxStream& s) { list.WriteAllDescriptors(s); });
    for (auto _ : state) {
        TvxScriptTableList loadedList;
        TvxDBScript loaded;
        loaded.SetScriptTableList(&loadedList);
        TvxScriptReplayer replayer(loadedList, {});
        loaded.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
        saved.SetPosition(0);
        ReadScriptDocument(saved, loaded, [&](TvxStream& s) { loadedList.ReadAllDescriptors(s); });
        if (loaded.Count() != script.Count())
            state.SkipWithError("commands lost on loading");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * saved.Bytes().size()));
    state.counters["bytes_per_command"] = static_cast<double>(saved.Bytes().size()) / script.Count();
}
BENCHMARK(BM_LoadDocument)->Arg(10000)->Unit(benchmark::kMillisecond);

// Hostile documents: one command declaring ten million empty parameters (10 MB), and one
// million Create table records (7 MB). Both are refused at their counts; the peak resident size
// of the process shows that nothing was built for them.
std::vector<std::uint8_t> HostileDocument(bool manyParameters)
{
    TvxMemoryStream stream;
    {
        TWriter writer(stream);
        writer.PutString("Morvane");
        writer.PutString("1.0");
        writer.PutInteger(0);
        if (manyParameters) {
            writer.PutInteger(1);
            writer.PutInteger(ckCreateField);
            writer.PutInteger(10'000'000);
            for (int i = 0; i < 10'000'000; ++i)
                writer.PutBlock("\x01", 1); // a tag without a value: an empty parameter
        } else {
            writer.PutInteger(1'000'000);
            for (int i = 0; i < 1'000'000; ++i)
                TvxCommand(ckCreateTable, {std::string("T")}).WriteTo(writer);
        }
        writer.Flush();
    }
    return stream.Bytes();
}

void BM_OpenHostileDocument(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = HostileDocument(state.range(0) == 0);
    for (auto _ : state) {
        TvxMemoryStream stream(bytes);
        TvxScriptTableList list;
        TvxDBScript script;
        TvxScriptReplayer replayer(list, {});
        script.AfterLoad = [&](TvxCommand& c) { replayer.Apply(c); };
        try {
            ReadScriptDocument(stream, script, [&](TvxStream& s) { list.ReadAllDescriptors(s); });
            state.SkipWithError("a hostile document was accepted");
        } catch (const EReadError&) {
        }
        benchmark::DoNotOptimize(list.Count());
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["document_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_OpenHostileDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace morvane
