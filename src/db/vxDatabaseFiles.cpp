#include "db/vxDatabaseFiles.h"

#include "db/paradox/ParadoxDirectory.h"
#include "platform/vxPath.h"

#include <filesystem>
#include <optional>

namespace morvane {

namespace {

namespace fs = std::filesystem;

bool sameFile(const fs::path& a, const fs::path& b)
{
    std::error_code ec;
    return a == b || fs::equivalent(a, b, ec);
}

// The table file ("CUSTOMER.DB", as the directory names it) whose family a file named name
// belongs to.
std::optional<std::string> tableOf(const fs::path& directory, const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return std::nullopt;
    const std::string table = name.substr(0, dot) + ".DB";
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string candidate = vxPathString(it->path().filename());
        std::error_code kind;
        if (ParadoxDirectory::equalNoCase(candidate, table) && it->is_regular_file(kind))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

std::string DatabaseFileRole(const std::string& directory, const std::string& path)
{
    std::error_code ec;
    const fs::path dir = fs::weakly_canonical(vxPath(directory), ec);
    if (ec || path.empty())
        return {};
    const fs::path target = fs::weakly_canonical(fs::absolute(vxPath(path), ec), ec);
    if (ec)
        return {};
    if (sameFile(target, dir))
        return "the directory";
    if (sameFile(target.parent_path(), dir))
        if (const auto table = tableOf(dir, vxPathString(target.filename())))
            return "a file of table " + *table;
    // The file of a table under another name.
    if (!fs::is_regular_file(target, ec))
        return {};
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (std::error_code same; fs::equivalent(it->path(), target, same))
            if (const auto table = tableOf(dir, vxPathString(it->path().filename())))
                return "a file of table " + *table;
    return {};
}

} // namespace morvane
