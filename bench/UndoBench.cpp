// Undo and redo on a large script: field commands spread over 100 new tables (as ScriptBench
// builds them), then the cost of one step: taking an edit into the history (Capture) and
// putting the state before and after it back (Undo, Redo). A step costs a comparison pass over
// the commands and tables plus the command and table it changed, not a copy of the script.

#include "script/TvxScriptHistory.h"
#include "script/TvxScriptTableList.h"
#include "script/cpDBStructScript.h"
#include "BenchScripts.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace morvane {
namespace {

using bench::Field;
using bench::kTables;
using bench::TableName;

// A script of `commands` commands: kTables Create table, the rest Create field over the tables
// in turn.
void BuildScript(TvxDBScript& script, TvxScriptTableList& list, int commands)
{
    for (int t = 0; t < kTables; ++t) {
        auto command = std::make_unique<TvxCommand>(ckCreateTable, std::vector<TvxValue>{TableName(t)});
        script.AddCommand(command);
    }
    for (int i = 0; i < commands - kTables; ++i) {
        const int t = i % kTables;
        list.SelectIndex(t);
        const int number = i / kTables + 1;
        auto command = std::make_unique<TvxCommand>(ckCreateField, std::vector<TvxValue>{TableName(t)});
        if (script.AddCommand(command, TvxCommandExtras::ForCreateField(Field("CAMPO" + std::to_string(number), number),
                                                                        "")) != 0)
            throw std::runtime_error("field rejected");
    }
}

struct LargeScript
{
    TvxScriptTableList list;
    TvxDBScript script;
    std::unique_ptr<TvxScriptHistory> history;
    int edits = 0;

    explicit LargeScript(int commands)
    {
        script.SetScriptTableList(&list);
        BuildScript(script, list, commands);
        history = std::make_unique<TvxScriptHistory>(script, list);
    }
    // One edit as the field menu makes it: a field appended to a table in the middle.
    void Edit()
    {
        list.SelectIndex(kTables / 2);
        const std::string name = "NOVO" + std::to_string(++edits);
        auto command = std::make_unique<TvxCommand>(ckCreateField, std::vector<TvxValue>{list.SelectedName()});
        if (script.AddCommand(command, TvxCommandExtras::ForCreateField(Field(name, list.FieldCount() + 1), "")) != 0)
            throw std::runtime_error("field rejected");
    }
};

// Undo then redo of one edit: two steps per iteration.
void BM_UndoStep(benchmark::State& state)
{
    LargeScript large(static_cast<int>(state.range(0)));
    large.Edit();
    large.history->Capture();
    for (auto _ : state) {
        large.history->Undo();
        large.history->Redo();
    }
    state.counters["steps/s"] = benchmark::Counter(2.0 * static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["commands"] = large.script.Count();
    state.counters["step_bytes"] = static_cast<double>(large.history->StepMemory());
}
BENCHMARK(BM_UndoStep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Taking one edit into the history (the edit itself and its undo are not timed).
void BM_UndoCapture(benchmark::State& state)
{
    LargeScript large(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        large.Edit();
        state.ResumeTiming();
        large.history->Capture();
        state.PauseTiming();
        large.history->Undo();
        state.ResumeTiming();
    }
    state.counters["commands"] = large.script.Count();
}
BENCHMARK(BM_UndoCapture)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace morvane
