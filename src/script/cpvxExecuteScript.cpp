#include "script/cpvxExecuteScript.h"

#include <filesystem>

#include "platform/vxFileIo.h"

#include "script/CovxUpdateServer.h"
#include "script/vxUpdateScriptFile.h"
#include "script/vxNameCompare.h"
#include "script/vxUpdateServerCodes.h"
#include "platform/vxPath.h"

namespace morvane {

namespace {

bool FileExists(const std::string& name)
{
    TvxFileInfo info;
    return vxPathInfo(name, info) && !info.directory;
}

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && UpperCaseEqual(s.substr(s.size() - suffix.size()), suffix);
}

} // namespace

TvxExecuteScript::TvxExecuteScript() = default;
TvxExecuteScript::~TvxExecuteScript() = default;

void TvxExecuteScript::SetScriptFileName(std::string_view name)
{
    if (name != scriptFileName_)
        scriptFileName_ = name;
}

bool TvxExecuteScript::SetChosenFile(std::string_view chosen)
{
    const std::string_view name = Trimmed(chosen);
    const std::string_view update = vxUpdateScriptExt;
    const std::string_view maintenance = vxMaintenanceScriptExt;
    if (EndsWithNoCase(name, update))
        Mode = ModeUpdate;
    else if (EndsWithNoCase(name, maintenance))
        Mode = ModeMaintenance;
    else
        return false;
    SetScriptFileName(name.substr(0, name.size() - update.size()));
    return true;
}

std::string TvxExecuteScript::ScriptFile() const
{
    const std::string_view ext = Mode == ModeUpdate ? vxUpdateScriptExt : vxMaintenanceScriptExt;
    std::string file = scriptFileName_ + std::string(ext);
    if (FileExists(file))
        return file;
    namespace fs = std::filesystem;
    const fs::path wanted = vxPath(file);
    const std::string leaf = vxPathString(wanted.filename());
    const std::string stem = leaf.substr(0, leaf.size() - ext.size());
    std::error_code ec;
    const fs::path dir = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = vxPathString(it->path().filename());
        if (name.size() == leaf.size() && name.compare(0, stem.size(), stem) == 0 &&
            UpperCaseEqual(std::string_view(name).substr(stem.size()), ext) && FileExists(vxPathString(it->path())))
            return vxPathString(wanted.parent_path() / vxPath(name));
    }
    return file;
}

IvxUpdateServer* TvxExecuteScript::Prepare(std::string_view source, std::string_view newPath)
{
    const std::string file = ScriptFile();
    if (!FileExists(file)) {
        report_ = {};
        report_.code = vxExecScriptNotFound;
        report_.message = RunCodeText(vxExecScriptNotFound);
        report_.scriptFile = file;
        report_.source = source;
        report_.target = newPath;
        return nullptr;
    }
    if (!server_) {
        server_ = CovxUpdateServer::Create();
        if (onProgress_)
            server_->SetProgress(onProgress_);
    }
    server_->SetSource(source);
    server_->SetNewPath(newPath);
    server_->SetScriptFile(file);
    for (const std::string& password : Passwords)
        server_->AddPassword(password);
    return server_.get();
}

int TvxExecuteScript::Execute(std::string_view source, std::string_view newPath)
{
    int result = vxExecScriptNotFound;
    if (IvxUpdateServer* server = Prepare(source, newPath)) {
        result = server->Run();
        report_ = server->Report();
    }
    if (result != 0 && OnShowErrorMsg)
        OnShowErrorMsg(result);
    return result;
}

TvxUpdateReport TvxExecuteScript::Preview(std::string_view source, std::string_view newPath)
{
    IvxUpdateServer* server = Prepare(source, newPath);
    if (!server) {
        report_.dryRun = true;
        return report_;
    }
    // The server is kept for later runs: it leaves the preview ready for a real one.
    struct TvxRealRunAfter
    {
        IvxUpdateServer* server;
        ~TvxRealRunAfter() { server->SetDryRun(false); }
    } realRunAfter{server};
    server->SetDryRun(true);
    server->Run();
    report_ = server->Report();
    return report_;
}

const TvxUpdateReport& TvxExecuteScript::Report() const
{
    return report_;
}

void TvxExecuteScript::SetOnProgress(TvxUpdateProgressEvent onProgress)
{
    onProgress_ = std::move(onProgress);
    if (server_)
        server_->SetProgress(onProgress_);
}

} // namespace morvane
