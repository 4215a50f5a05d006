#include "db/paradox/ParadoxDirectory.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace morvane {

namespace {

std::int64_t mtimeNs(const struct stat& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

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
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)),
      listedMtimeNs_(std::exchange(other.listedMtimeNs_, -1)), files_(std::move(other.files_)),
      lowerNames_(std::move(other.lowerNames_))
{}

ParadoxDirectory& ParadoxDirectory::operator=(ParadoxDirectory&& other) noexcept
{
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        listedMtimeNs_ = std::exchange(other.listedMtimeNs_, -1);
        files_ = std::move(other.files_);
        lowerNames_ = std::move(other.lowerNames_);
    }
    return *this;
}

void ParadoxDirectory::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    listedMtimeNs_ = -1;
}

std::string ParadoxDirectory::pathOf(std::string_view fileName) const
{
    return path_ + "/" + std::string(fileName);
}

const std::vector<std::string>& ParadoxDirectory::files()
{
    struct stat st
    {
    };
    // The open directory answers as long as it exists; a removed one is opened again by path.
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || st.st_nlink == 0))
        close();
    if (fd_ < 0) {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                throw EvxEngineError(vxErrDirectory, path_ + ": directory not found");
            throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(errno) + ")");
        }
        fd_ = fd;
        if (::fstat(fd_, &st) != 0) {
            const int err = errno;
            close();
            throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(err) + ")");
        }
    }
    if (mtimeNs(st) != listedMtimeNs_) {
        list(fd_);
        listedMtimeNs_ = mtimeNs(st);
    }
    return files_;
}

void ParadoxDirectory::list(int fd)
{
    // readdir takes its own descriptor; the duplicate shares the position, so rewind.
    const int dup = ::dup(fd);
    DIR* dir = dup >= 0 ? ::fdopendir(dup) : nullptr;
    if (!dir) {
        const int err = errno;
        if (dup >= 0)
            ::close(dup);
        throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(err) + ")");
    }
    ::rewinddir(dir);
    std::vector<std::string> names;
    names.reserve(files_.size());
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat fst
            {
            };
            regular = ::fstatat(fd, name, &fst, 0) == 0 && S_ISREG(fst.st_mode);
        }
        if (regular)
            names.emplace_back(name);
    }
    ::closedir(dir);
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
    struct stat st
    {
    };
    const int rc = fd_ >= 0 ? ::fstatat(fd_, fileName.c_str(), &st, 0) : ::stat(pathOf(fileName).c_str(), &st);
    if (rc != 0 || !S_ISREG(st.st_mode))
        throw EvxEngineError(vxErrNotFound, pathOf(fileName) + ": file not found");
    return ParadoxFileStamp{fileName, mtimeNs(st), static_cast<std::uint64_t>(st.st_size)};
}

ParadoxFileStamp ParadoxDirectory::stampOpen(int fd, const std::string& fileName) const
{
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        throw EvxEngineError(vxErrNotFound, pathOf(fileName) + ": file not found");
    return ParadoxFileStamp{fileName, mtimeNs(st), static_cast<std::uint64_t>(st.st_size)};
}

int ParadoxDirectory::openForReading(const std::string& fileName) const
{
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    return fd_ >= 0 ? ::openat(fd_, fileName.c_str(), flags) : ::open(pathOf(fileName).c_str(), flags);
}

} // namespace morvane
