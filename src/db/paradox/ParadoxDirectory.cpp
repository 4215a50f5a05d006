#include "db/paradox/ParadoxDirectory.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/vxFileIo.h"

namespace morvane {

namespace {

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = ParadoxDirectory::lowerAscii(c);
    return out;
}

// A name's position with its first sixteen bytes as two big-endian numbers: comparing names of
// up to sixteen bytes (all 8.3 names) is comparing numbers, and no string moves while sorting.
struct SortSlot
{
    std::uint64_t high;
    std::uint64_t low;
    std::uint32_t at;
};

std::uint64_t bigEndianAt(std::string_view s, std::size_t from)
{
    std::uint64_t k = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        k = (k << 8) | (i < s.size() ? static_cast<unsigned char>(s[i]) : 0u);
    return k;
}

// Positions of names in the order of their bytes (as std::string orders them), equal names by
// position. Names hold no zero byte, so a shorter name sorts before the names it begins.
std::vector<std::uint32_t> sortedPositions(const std::vector<std::string>& names)
{
    std::vector<SortSlot> slots(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        slots[i] = {bigEndianAt(names[i], 0), bigEndianAt(names[i], 8), static_cast<std::uint32_t>(i)};
    const auto before = [&](const SortSlot& a, const SortSlot& b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const int c = names[a.at].size() > 16 || names[b.at].size() > 16 ? names[a.at].compare(names[b.at]) : 0;
        return c != 0 ? c < 0 : a.at < b.at;
    };
    // A listing already in order (names folded in a directory of one letter case) is not sorted.
    if (!std::is_sorted(slots.begin(), slots.end(), before))
        std::sort(slots.begin(), slots.end(), before);
    std::vector<std::uint32_t> order(names.size());
    for (std::size_t i = 0; i < slots.size(); ++i)
        order[i] = slots[i].at;
    return order;
}

} // namespace

ParadoxDirectory::ParadoxDirectory(std::string path) : path_(std::move(path))
{
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
}

ParadoxDirectory::~ParadoxDirectory()
{
    close();
}

ParadoxDirectory::ParadoxDirectory(ParadoxDirectory&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, vxNoFileHandle)),
      listedMtimeNs_(std::exchange(other.listedMtimeNs_, -1)), files_(std::move(other.files_)),
      lowerNames_(std::move(other.lowerNames_))
{}

ParadoxDirectory& ParadoxDirectory::operator=(ParadoxDirectory&& other) noexcept
{
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, vxNoFileHandle);
        listedMtimeNs_ = std::exchange(other.listedMtimeNs_, -1);
        files_ = std::move(other.files_);
        lowerNames_ = std::move(other.lowerNames_);
    }
    return *this;
}

void ParadoxDirectory::close()
{
    vxCloseFile(fd_);
    fd_ = vxNoFileHandle;
    listedMtimeNs_ = -1;
}

std::string ParadoxDirectory::pathOf(std::string_view fileName) const
{
    return path_ + "/" + std::string(fileName);
}

const std::vector<std::string>& ParadoxDirectory::files()
{
    TvxFileInfo info;
    // The open directory answers as long as it exists; a removed one is opened again by path.
    if (fd_ != vxNoFileHandle && (!vxFileInfoOf(fd_, info) || info.removed))
        close();
    if (fd_ == vxNoFileHandle) {
        const TvxFileHandle fd = vxOpenDirectory(path_);
        if (fd == vxNoFileHandle) {
            if (errno == ENOENT || errno == ENOTDIR)
                throw EvxEngineError(vxErrDirectory, path_ + ": directory not found");
            throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(errno) + ")");
        }
        fd_ = fd;
        if (!vxFileInfoOf(fd_, info)) {
            const int err = errno;
            close();
            throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(err) + ")");
        }
    }
    if (info.modifiedNs != listedMtimeNs_) {
        list();
        listedMtimeNs_ = info.modifiedNs;
    }
    return files_;
}

void ParadoxDirectory::list()
{
    std::vector<TvxDirEntry> entries;
    entries.reserve(files_.size());
    if (!vxListDirectory(fd_, path_, entries))
        throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(errno) + ")");
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (auto& entry : entries)
        if (entry.kind == EvxEntryKind::Regular)
            names.push_back(std::move(entry.name));
    files_.clear();
    files_.reserve(names.size());
    for (const std::uint32_t i : sortedPositions(names))
        files_.push_back(std::move(names[i]));
    // Case-folded names sorted, equal ones by their position in files_.
    std::vector<std::string> folded;
    folded.reserve(files_.size());
    for (const auto& name : files_)
        folded.push_back(lower(name));
    lowerNames_.clear();
    lowerNames_.reserve(folded.size());
    for (const std::uint32_t i : sortedPositions(folded))
        lowerNames_.emplace_back(std::move(folded[i]), i);
}

std::optional<std::string> ParadoxDirectory::find(std::string_view name)
{
    const auto& all = files();
    if (std::binary_search(all.begin(), all.end(), name, std::less<>()))
        return std::string(name);
    const std::string key = lower(name);
    const auto it = std::lower_bound(lowerNames_.begin(), lowerNames_.end(), key,
                                     [](const auto& entry, const std::string& k) { return entry.first < k; });
    if (it == lowerNames_.end() || it->first != key)
        return std::nullopt;
    return all[it->second];
}

std::vector<std::string> ParadoxDirectory::family(std::string_view base) const
{
    std::string key = lower(base);
    key += '.';
    const auto first = std::lower_bound(lowerNames_.begin(), lowerNames_.end(), key,
                                        [](const auto& entry, const std::string& k) { return entry.first < k; });
    auto last = first;
    while (last != lowerNames_.end() && last->first.compare(0, key.size(), key) == 0)
        ++last;
    std::vector<std::uint32_t> at;
    at.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it)
        if (it->first.find('.', key.size()) == std::string::npos) // the base is all before the last dot
            at.push_back(it->second);
    std::sort(at.begin(), at.end());
    std::vector<std::string> out;
    out.reserve(at.size());
    for (const std::uint32_t i : at)
        out.push_back(files_[i]);
    return out;
}

ParadoxFileStamp ParadoxDirectory::stamp(const std::string& fileName) const
{
    TvxFileInfo info;
    if (!vxPathInfoIn(fd_, path_, fileName, info) || !info.regular)
        throw EvxEngineError(vxErrNotFound, pathOf(fileName) + ": file not found");
    return ParadoxFileStamp{fileName, info.modifiedNs, info.size};
}

ParadoxFileStamp ParadoxDirectory::stampOpen(TvxFileHandle fd, const std::string& fileName) const
{
    TvxFileInfo info;
    if (!vxFileInfoOf(fd, info) || !info.regular)
        throw EvxEngineError(vxErrNotFound, pathOf(fileName) + ": file not found");
    return ParadoxFileStamp{fileName, info.modifiedNs, info.size};
}

TvxFileHandle ParadoxDirectory::openForReading(const std::string& fileName) const
{
    return vxOpenFileIn(fd_, path_, fileName, EvxOpenMode::Read);
}

} // namespace morvane
