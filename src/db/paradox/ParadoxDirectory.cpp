#include "db/paradox/ParadoxDirectory.h"

#include "db/EvxEngineError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

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
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

ParadoxDirectory::ParadoxDirectory(std::string path) : path_(std::move(path))
{
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
}

bool ParadoxDirectory::equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const std::vector<std::string>& ParadoxDirectory::files()
{
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw EvxEngineError(vxErrDirectory, path_ + ": directory not found");
    if (mtimeNs(st) == listedMtimeNs_)
        return files_;

    DIR* dir = ::opendir(path_.c_str());
    if (!dir)
        throw EvxEngineError(vxErrDirectory, path_ + ": directory cannot be read (" + std::strerror(errno) + ")");
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat fst {};
        if (::stat((path_ + "/" + name).c_str(), &fst) == 0 && S_ISREG(fst.st_mode))
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    files_ = std::move(names);
    byLowerName_.clear();
    byLowerBase_.clear();
    for (std::size_t i = 0; i < files_.size(); ++i) {
        const std::string& f = files_[i];
        byLowerName_.emplace(lower(f), i);
        const auto dot = f.rfind('.');
        if (dot != std::string::npos)
            byLowerBase_[lower(std::string_view(f).substr(0, dot))].push_back(i);
    }
    listedMtimeNs_ = mtimeNs(st);
    return files_;
}

std::optional<std::string> ParadoxDirectory::find(std::string_view name)
{
    const auto& all = files();
    if (std::binary_search(all.begin(), all.end(), name, std::less<>()))
        return std::string(name);
    const auto it = byLowerName_.find(lower(name));
    if (it == byLowerName_.end())
        return std::nullopt;
    return all[it->second];
}

std::vector<std::string> ParadoxDirectory::withBase(std::string_view base, bool (*extensionMatches)(std::string_view))
{
    std::vector<std::string> out;
    const auto& all = files();
    const auto it = byLowerBase_.find(lower(base));
    if (it == byLowerBase_.end())
        return out;
    for (std::size_t i : it->second) {
        const std::string& f = all[i];
        if (extensionMatches(std::string_view(f).substr(base.size() + 1)))
            out.push_back(f);
    }
    return out;
}

ParadoxFileStamp ParadoxDirectory::stamp(const std::string& fileName) const
{
    ParadoxFileStamp s;
    s.path = path_ + "/" + fileName;
    struct stat st {};
    if (::stat(s.path.c_str(), &st) != 0)
        throw EvxEngineError(vxErrNotFound, s.path + ": file not found");
    s.mtimeNs = mtimeNs(st);
    s.size = static_cast<std::uint64_t>(st.st_size);
    return s;
}

} // namespace morvane
