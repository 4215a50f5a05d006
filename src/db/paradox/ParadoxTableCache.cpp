#include "db/paradox/ParadoxTableCache.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxBytes.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace morvane {

namespace {

constexpr std::size_t CommonHeaderBytes = 0x58;
constexpr std::uint64_t MaxValFileBytes = 16u << 20;

std::string upper(std::string_view s)
{
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// X01..X99 and XG0..XG9 (more digits accepted).
bool isIndexExtension(std::string_view ext, char letter)
{
    const std::string e = upper(ext);
    if (e.size() < 2 || e[0] != letter)
        return false;
    if (e[1] == 'G')
        return allDigits(std::string_view(e).substr(2));
    return allDigits(std::string_view(e).substr(1));
}

bool isXExtension(std::string_view ext) { return isIndexExtension(ext, 'X'); }
bool isPxExtension(std::string_view ext) { return upper(ext) == "PX"; }
bool isValExtension(std::string_view ext) { return upper(ext) == "VAL"; }

std::vector<std::uint8_t> readBytes(const std::string& path, std::uint64_t count)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EvxEngineError(vxErrNotFound, path + ": file cannot be opened");
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(count));
    in.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(count));
    buf.resize(static_cast<std::size_t>(in.gcount()));
    return buf;
}

// The header only: its common part first, then as many bytes as it declares.
ParadoxTableHeader parseHeaderFile(const ParadoxFileStamp& f)
{
    std::vector<std::uint8_t> bytes = readBytes(f.path, std::min<std::uint64_t>(f.size, CommonHeaderBytes));
    if (bytes.size() >= 4) {
        const std::uint64_t declared = static_cast<std::uint64_t>(bytes[2] | (bytes[3] << 8));
        if (declared > bytes.size())
            bytes = readBytes(f.path, std::min(declared, f.size));
    }
    return ParseParadoxHeader(bytes.data(), bytes.size(), f.size, f.path);
}

std::string extensionOf(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string baseOf(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

int indexOrder(const ParadoxSecondaryIndex& x)
{
    return (x.composite ? 1 << 20 : 0) + (x.number < 0 ? (1 << 19) : x.number);
}

} // namespace

std::shared_ptr<const ParadoxTable> ParadoxTableCache::Load(ParadoxDirectory& dir, const std::string& dbFileName)
{
    const std::string base = baseOf(dbFileName);
    const ParadoxFileStamp db = dir.stamp(dbFileName);
    const auto px = dir.withBase(base, isPxExtension);
    const auto xs = dir.withBase(base, isXExtension);
    const auto vals = dir.withBase(base, isValExtension);

    std::vector<ParadoxFileStamp> stamps{db};
    std::vector<std::pair<ParadoxFileStamp, std::string>> indexFiles; // X file, its extension
    for (const auto& x : xs) {
        const std::string ext = extensionOf(x);
        std::string yExt = ext;
        yExt[0] = static_cast<char>(ext[0] == 'x' ? 'y' : 'Y');
        // An X file without its Y partner is an unfinished index: not listed.
        if (!dir.find(base + "." + yExt))
            continue;
        indexFiles.emplace_back(dir.stamp(x), ext);
        stamps.push_back(indexFiles.back().first);
    }
    std::optional<ParadoxFileStamp> pxStamp;
    if (!px.empty())
        stamps.push_back(*(pxStamp = dir.stamp(px.front())));
    std::optional<ParadoxFileStamp> valStamp;
    if (!vals.empty())
        stamps.push_back(*(valStamp = dir.stamp(vals.front())));

    const auto cached = entries_.find(db.path);
    if (cached != entries_.end() && cached->second.stamps == stamps)
        return cached->second.table;

    auto table = std::make_shared<ParadoxTable>();
    table->header = parseHeaderFile(db);
    ++parses_;
    const ParadoxTableHeader& h = table->header;
    if (!h.isTable())
        throw EvxEngineError(vxErrInvalidFile, db.path + ": not a table (file type " + std::to_string(h.fileType) + ")");

    if (pxStamp && h.primaryKeyFields > 0) {
        ParadoxTableHeader pi = parseHeaderFile(*pxStamp);
        ++parses_;
        if (pi.fileType != 1 || pi.numFields != h.primaryKeyFields)
            throw EvxEngineError(vxErrInvalidFile, pxStamp->path + ": primary index does not match its table (" +
                                                       std::to_string(pi.numFields) + " key fields, table " +
                                                       std::to_string(h.primaryKeyFields) + ")");
        table->primaryIndex = std::move(pi);
    }

    for (const auto& [stamp, ext] : indexFiles) {
        const ParadoxTableHeader xh = parseHeaderFile(stamp);
        ++parses_;
        if (!xh.isSecondaryX())
            continue; // a stray file with an index-like name
        table->secondaryIndexes.push_back(ReadParadoxSecondaryIndex(xh, h, ext, stamp.path));
    }
    std::stable_sort(table->secondaryIndexes.begin(), table->secondaryIndexes.end(),
                     [](const auto& a, const auto& b) { return indexOrder(a) < indexOrder(b); });

    if (valStamp) {
        if (valStamp->size > MaxValFileBytes)
            throw EvxEngineError(vxErrInvalidFile, valStamp->path + ": validity file of " +
                                                       std::to_string(valStamp->size) + " bytes is implausibly large");
        const std::vector<std::uint8_t> bytes = readBytes(valStamp->path, valStamp->size);
        table->val = ParseParadoxValFile(bytes.data(), bytes.size(), h, valStamp->path);
        ++parses_;
    }

    entries_[db.path] = Entry{std::move(stamps), table};
    return table;
}

} // namespace morvane
