#include "diff/TvxDiffDatabase.h"

#include "db/EvxEngineError.h"
#include "db/cpDatabase.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxPassword.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "script/vxNameCompare.h"
#include "platform/vxPath.h"

#include <algorithm>
#include <filesystem>

namespace morvane {

const TvxTableDesc* TvxDiffDatabase::Find(std::string_view name) const
{
    for (const TvxTableDesc& t : tables)
        if (UpperCaseEqual(t.TableName(), name))
            return &t;
    return nullptr;
}

std::string TvxDiffDatabase::PasswordOf(const TvxTableDesc& table) const
{
    const auto it = passwords.find(table.TableName());
    return it == passwords.end() ? std::string() : it->second;
}

namespace {

// The password among passwords that the header of the table's .DB holds the key of; empty when
// none does or the header cannot be read (reading the table itself reports that).
std::string OpeningPassword(const std::string& path, const std::vector<std::string>& passwords)
{
    constexpr std::size_t MaxHeaderBytes = 0x10000;
    try {
        const std::unique_ptr<ParadoxFileSource> file = ParadoxFileSource::Open(path);
        std::vector<std::uint8_t> bytes(
            static_cast<std::size_t>(std::min<std::uint64_t>(file->Size(), MaxHeaderBytes)));
        bytes.resize(file->ReadAt(0, bytes.data(), bytes.size()));
        const std::uint32_t key = ParseParadoxHeader(bytes.data(), bytes.size(), file->Size(), path).passwordKey();
        for (const std::string& p : passwords)
            if (ParadoxPasswordMatches(p, key))
                return p;
    } catch (const std::exception&) {
    }
    return {};
}

} // namespace

TvxDiffDatabase ReadDiffDatabase(TvxDatabase& database, const std::vector<std::string>& passwords)
{
    TvxDiffDatabase side;
    side.aliasName = database.AliasName();
    std::string dir = side.aliasName.empty() ? std::string() : database.AliasPath();
    if (dir.empty() && database.Handle())
        dir = database.Handle()->Directory();
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(vxPath(dir), ec);
    side.directory = ec || dir.empty() ? dir : vxPathString(absolute.lexically_normal());
    for (TvxTableItem& item : database.ReadTables())
        side.tables.push_back(std::move(*item.desc));
    // A comparison that left a damaged table out would take it for one to create or delete.
    if (!database.SkippedTables().empty()) {
        const auto& skipped = database.SkippedTables().front();
        throw EvxEngineError(vxErrInvalidFile, skipped.name + ": " + skipped.reason);
    }
    const std::string files = database.Handle() ? database.Handle()->Directory() : side.directory;
    for (const TvxTableDesc& t : side.tables)
        if (t.Protected())
            if (std::string p = OpeningPassword(files + "/" + t.FileName(), passwords); !p.empty())
                side.passwords[t.TableName()] = std::move(p);
    return side;
}

} // namespace morvane
