#include "script/vxScriptFileReader.h"

#include "model/clvxTableDesc.h"
#include "model/clvxTableDescStream.h"
#include "model/vxNameRules.h"
#include "script/IvxScriptFileSink.h"
#include "script/TvxCommand.h"
#include "script/TvxScriptFileVersion.h"
#include "script/vxScriptLimits.h"
#include "stream/EvxStreamError.h"
#include "stream/TReader.h"

namespace morvane {

namespace {

// A maintenance script names the tables the server makes files of: each name must be one a file
// system and the engine can hold (commands are checked as they are read, TvxCommand::ReadFrom).
void CheckTableName(const std::string& name, std::int64_t at)
{
    if (const std::string problem = TableNameProblem(name); !problem.empty())
        throw EReadError(problem, at);
}

void ReadCommands(TvxStream& stream, IvxScriptFileSink& sink)
{
    TReader reader(stream);
    const std::int64_t countAt = reader.Position();
    const std::int32_t n = reader.GetInteger();
    if (n > MaxScriptCommands)
        reader.FailAt(STooManyCommands, countAt);
    sink.CommandCount(n);
    for (std::int32_t i = 0; i < n; ++i) {
        TvxCommand command;
        const std::int64_t at = reader.Position();
        command.ReadFrom(reader);
        CheckCommandTableNames(command, at);
        sink.Command(i, command);
    }
}

void ReadTables(TvxStream& stream, IvxScriptFileSink& sink, bool structures)
{
    TReader reader(stream);
    const std::int64_t countAt = reader.Position();
    const std::int32_t m = reader.GetInteger();
    if (m > MaxScriptTables)
        reader.FailAt(STooManyTables, countAt);
    sink.TableCount(m);
    for (std::int32_t i = 0; i < m; ++i) {
        TvxTableDesc table;
        const std::int64_t at = reader.Position();
        if (structures) {
            ReadStructureRecord(reader, table);
            if (!table.TableName().empty())
                CheckTableName(table.TableName(), at);
        } else {
            table.ReadDescriptors(reader);
        }
        sink.Table(i, table, structures);
    }
}

} // namespace

void ReadScriptFile(TvxStream& stream, IvxScriptFileSink& sink, std::int32_t kindHint)
{
    TvxScriptFileVersion header;
    header.TvxCustomVersion::ReadFrom(stream);
    const std::int64_t kindAt = stream.Position();
    {
        TReader reader(stream);
        header.FileKind = reader.GetInteger();
    }
    std::int32_t kind = header.FileKind;
    if (kind < fkScriptDocument || kind > fkMaintenanceScript)
        kind = kindHint;
    if (kind < fkScriptDocument || kind > fkMaintenanceScript)
        throw EReadError("Unknown file kind " + std::to_string(header.FileKind), kindAt);

    bool flag = false;
    if (kind != fkScriptDocument) {
        TReader reader(stream);
        flag = reader.GetBoolean();
    }
    sink.Header(header, kind, kind != fkScriptDocument, flag);
    if (kind != fkMaintenanceScript)
        ReadCommands(stream, sink);
    if (kind != fkUpdateScript)
        ReadTables(stream, sink, kind == fkMaintenanceScript);
}

} // namespace morvane
