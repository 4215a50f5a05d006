// The C interface of the update server: a handle holding one TvxUpdateServer and the texts last
// handed out. Every entry point catches whatever the server or the allocator throws.
#include "morvane/update_server.h"

#include "script/TvxUpdateReport.h"
#include "script/vxUpdateServerCodes.h"
#include "server/TvxUpdateServer.h"

#include <exception>
#include <optional>
#include <string>

struct morvane_update_server
{
    morvane::TvxUpdateServer server;
    bool ran = false;
    bool outside = false;   // the last run failed outside the server (code 295)
    bool setFailed = false; // a setter failed: the next run answers 295 with setFailure
    std::string setFailure;
    std::string failure;                     // the message of a run that failed outside
    mutable std::optional<std::string> json; // the last run's report, made when first asked for
};

namespace {

using morvane::vxRunNoServer;

const char* NoServerText() noexcept
{
    try {
        static const std::string text = morvane::RunCodeText(vxRunNoServer);
        return text.c_str();
    } catch (...) {
        return "";
    }
}

// into = a + b, or as much as memory allows.
void Keep(std::string& into, const char* a, const char* b = nullptr) noexcept
{
    try {
        into = a;
        if (b)
            into.append(": ").append(b);
    } catch (...) {
    }
}

std::string Text(const char* s)
{
    return s ? std::string(s) : std::string();
}

// Runs a setter; a failure is kept for the next run to answer.
template <typename F>
void Set(morvane_update_server* s, F&& f) noexcept
{
    if (!s)
        return;
    try {
        f(s->server);
    } catch (const std::exception& e) {
        s->setFailed = true;
        Keep(s->setFailure, NoServerText(), e.what());
    } catch (...) {
        s->setFailed = true;
    }
}

// A run the server could not answer: its report holds only the code and the message.
void Failed(morvane_update_server& s) noexcept
{
    s.outside = true;
    try {
        morvane::TvxUpdateReport report;
        report.code = vxRunNoServer;
        report.message = s.failure.empty() ? NoServerText() : s.failure;
        s.json = report.Json();
    } catch (...) {
        s.json = std::string();
    }
}

} // namespace

extern "C" {

const char* morvane_version(void)
{
    return MORVANE_VERSION;
}

morvane_update_server* morvane_server_create(void)
{
    try {
        return new morvane_update_server();
    } catch (...) {
        return nullptr;
    }
}

void morvane_server_destroy(morvane_update_server* s)
{
    delete s;
}

void morvane_server_set_script_file(morvane_update_server* s, const char* path)
{
    Set(s, [&](morvane::TvxUpdateServer& server) { server.SetScriptFile(Text(path)); });
}

void morvane_server_set_source(morvane_update_server* s, const char* alias_or_directory)
{
    Set(s, [&](morvane::TvxUpdateServer& server) { server.SetSource(Text(alias_or_directory)); });
}

void morvane_server_set_new_path(morvane_update_server* s, const char* directory)
{
    Set(s, [&](morvane::TvxUpdateServer& server) { server.SetNewPath(Text(directory)); });
}

void morvane_server_add_password(morvane_update_server* s, const char* password)
{
    if (password)
        Set(s, [&](morvane::TvxUpdateServer& server) { server.AddPassword(password); });
}

void morvane_server_set_dry_run(morvane_update_server* s, int dry_run)
{
    Set(s, [&](morvane::TvxUpdateServer& server) { server.SetDryRun(dry_run != 0); });
}

void morvane_server_set_progress(morvane_update_server* s, morvane_progress_fn fn, void* user)
{
    Set(s, [&](morvane::TvxUpdateServer& server) {
        if (!fn) {
            server.SetProgress({});
            return;
        }
        server.SetProgress([fn, user](const morvane::TvxUpdateProgress& p) {
            fn(user, p.table.c_str(), static_cast<long long>(p.done), static_cast<long long>(p.total));
        });
    });
}

int morvane_server_run(morvane_update_server* s)
{
    if (!s)
        return vxRunNoServer;
    s->json.reset();
    s->failure.clear();
    s->ran = true;
    s->outside = false;
    if (s->setFailed) {
        s->failure.swap(s->setFailure);
        s->setFailed = false;
    } else {
        try {
            return s->server.Run();
        } catch (const std::exception& e) {
            Keep(s->failure, NoServerText(), e.what());
        } catch (...) {
        }
    }
    Failed(*s);
    return vxRunNoServer;
}

const char* morvane_server_report_json(const morvane_update_server* s)
{
    if (!s || !s->ran)
        return "";
    try {
        if (!s->json)
            s->json = s->server.Report().Json();
        return s->json->c_str();
    } catch (...) {
        return "";
    }
}

const char* morvane_server_message(const morvane_update_server* s)
{
    if (!s)
        return NoServerText();
    if (!s->ran)
        return "";
    if (!s->outside)
        return s->server.Report().message.c_str();
    return s->failure.empty() ? NoServerText() : s->failure.c_str();
}

} // extern "C"
