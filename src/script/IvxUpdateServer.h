#pragma once
// IvxUpdateServer: the update server as the editor drives it. The editor hands it a source
// database (an alias name or a directory), a target directory and a script file (.vxusp or
// .vxmsp), any passwords, and runs it; Run answers 0 on success or a result code that is also
// a message id (293-299, 300-306; see vxUpdateServerCodes.h). Report() describes the last run,
// the tables it touched and what could not be carried unchanged; with SetDryRun(true) the run
// writes nothing and the report is the preview of a real run.
// The operations keep the slot order of the automation interface: the three getters stand in
// the places the program never calls. Run never throws; the setters do not fail.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace morvane {

struct TvxUpdateReport;

// Progress of a run: the table being built, records done so far and the table's record count
// (0 when not known yet).
struct TvxUpdateProgress
{
    std::string table;
    std::int64_t done = 0;
    std::int64_t total = 0;
};
using TvxUpdateProgressEvent = std::function<void(const TvxUpdateProgress&)>;

class IvxUpdateServer
{
public:
    virtual ~IvxUpdateServer() = default;

    virtual std::string ScriptFile() const = 0;
    virtual void SetScriptFile(std::string_view fileName) = 0;
    virtual std::string Source() const = 0;
    virtual void SetSource(std::string_view source) = 0;
    virtual std::string NewPath() const = 0;
    virtual void SetNewPath(std::string_view path) = 0;
    virtual int Run() = 0;
    virtual void AddPassword(std::string_view password) = 0;

    // Our own additions, after the eight operations of the automation interface.
    virtual void SetDryRun(bool dryRun) = 0;
    virtual void SetProgress(TvxUpdateProgressEvent onProgress) = 0;
    // The report of the last Run (empty before the first).
    virtual const TvxUpdateReport& Report() const = 0;
};

} // namespace morvane
