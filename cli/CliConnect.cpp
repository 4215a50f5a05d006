#include "CliConnect.h"

#include "model/vxCodePage.h"
#include "platform/vxPath.h"

#include <cstdio>
#include <filesystem>
#include <strings.h>

namespace morvane::cli {

namespace {

// Command-line texts are UTF-8; passwords go to the engine as the bytes of new tables
// (Windows-1252) when they convert without loss, else as typed, which the reader converts into
// each table's own code page.
std::string enginePassword(const std::string& typed)
{
    const std::string native = Utf8ToCodePage(typed, vxNewTableCodePage);
    return CodePageToUtf8(native, vxNewTableCodePage) == typed ? native : typed;
}

} // namespace

bool Connect(TvxDatabase& db, const std::string& source, const std::vector<std::string>& passwords)
{
    for (const auto& p : passwords)
        db.Session().AddPassword(enginePassword(p));
    std::error_code ec;
    if (std::filesystem::is_directory(vxPath(source), ec)) {
        db.SetPath(source);
    } else {
        bool known = false;
        for (const auto& n : db.Session().AliasNames())
            known = known || strcasecmp(n.c_str(), source.c_str()) == 0;
        if (!known) {
            std::fprintf(stderr, "morvane-cli: %s is neither a directory nor a known alias\n", source.c_str());
            return false;
        }
        db.SetAlias(source);
    }
    db.SetConnected(true);
    return true;
}

std::string FileSystemName(const std::string& name, int codePage)
{
    return IsUtf8(name) ? name : CodePageToUtf8(name, codePage);
}

} // namespace morvane::cli
