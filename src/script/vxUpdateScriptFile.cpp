#include "script/vxUpdateScriptFile.h"

#include "script/IvxScriptFileSink.h"
#include "script/TvxScriptDocument.h"
#include "script/TvxScriptFileVersion.h"
#include "script/TvxScriptTableList.h"
#include "script/cpvxScriptLoader.h"
#include "script/vxScriptFileReader.h"
#include "stream/TvxFileStream.h"

namespace morvane {

namespace {

void WriteHeader(TvxStream& stream, std::string_view appName, std::int32_t kind)
{
    TvxUpdateFileVersion(std::string(appName), vxScriptVersion, kind, false).WriteTo(stream);
}

class TvxCollectingSink : public IvxScriptFileSink
{
public:
    explicit TvxCollectingSink(TvxUpdateScriptFile& file) : file_(file) {}

    void Header(const TvxScriptFileVersion& header, std::int32_t kind, bool, bool flag) override
    {
        if (header.FileKind != fkUpdateScript && header.FileKind != fkMaintenanceScript)
            throw EvxNotAnUpdateScript("File kind " + std::to_string(header.FileKind) +
                                       " is not an update or maintenance script");
        file_.header.AppName = header.AppName;
        file_.header.Version = header.Version;
        file_.header.FileKind = kind;
        file_.header.Flag = flag;
    }
    void CommandCount(std::int32_t count) override
    {
        if (count < 0)
            throw EvxNotAnUpdateScript("Negative command count");
    }
    void Command(std::int32_t, const TvxCommand& command) override { file_.commands.push_back(command.Clone()); }
    void TableCount(std::int32_t count) override
    {
        if (count < 0)
            throw EvxNotAnUpdateScript("Negative table count");
    }
    // A copy, not Clone: the maintenance script keeps the rules of both sides.
    void Table(std::int32_t, const TvxTableDesc& table, bool) override { file_.tables.push_back(table); }

private:
    TvxUpdateScriptFile& file_;
};

} // namespace

void WriteUpdateScript(TvxStream& stream, std::string_view appName, const TvxDBScriptLoader& script)
{
    WriteHeader(stream, appName, fkUpdateScript);
    script.SaveToStream(stream);
}

void WriteMaintenanceScript(TvxStream& stream, std::string_view appName, const TvxScriptTableList& tables)
{
    WriteHeader(stream, appName, fkMaintenanceScript);
    tables.WriteAllStructures(stream);
}

void SaveUpdateScript(const std::string& fileName, std::string_view appName, const TvxDBScriptLoader& script)
{
    SaveFileAtomically(fileName, [&](TvxStream& stream) { WriteUpdateScript(stream, appName, script); });
}

void SaveMaintenanceScript(const std::string& fileName, std::string_view appName, const TvxScriptTableList& tables)
{
    SaveFileAtomically(fileName, [&](TvxStream& stream) { WriteMaintenanceScript(stream, appName, tables); });
}

std::string ScriptFileBase(std::string_view documentFileName)
{
    const std::size_t slash = documentFileName.find_last_of("/\\");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = documentFileName.rfind('.');
    if (dot == std::string_view::npos || dot <= nameStart)
        return std::string(documentFileName);
    return std::string(documentFileName.substr(0, dot));
}

TvxUpdateScriptFile ReadUpdateScriptFile(TvxStream& stream)
{
    TvxUpdateScriptFile file;
    TvxCollectingSink sink(file);
    ReadScriptFile(stream, sink);
    return file;
}

TvxUpdateScriptFile ReadUpdateScriptFile(const std::string& fileName)
{
    TvxFileStream stream(fileName, TvxFileStream::Mode::OpenRead);
    return ReadUpdateScriptFile(stream);
}

} // namespace morvane
