#include "export/TvxExportOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "export/EvxExportError.h"

namespace morvane {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& what, const std::string& path, int error)
{
    throw EvxExportError(what + " " + path + ": " + std::strerror(error));
}

// Writes the file's data to disk, so a rename never puts an incomplete file in place.
void syncPath(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail("cannot open", path, errno);
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok)
        fail("cannot write", path, error);
}

// Renames without replacing what is there unless replace; the target's absence was checked
// before the export began, but something may have appeared since.
void moveInto(const std::string& from, const std::string& to, bool replace)
{
    const int r = replace ? std::rename(from.c_str(), to.c_str())
                          : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (r != 0)
        fail("cannot move the export to", to, errno);
}

// ".<name>.tmp-XXXXXX" (a hidden name for mkstemp).
std::string hiddenTemplate(std::string_view name)
{
    std::string out(1, '.');
    out += name;
    out += ".tmp-XXXXXX";
    return out;
}

std::string siblingTemplate(const std::string& target)
{
    const fs::path p(target);
    const fs::path parent = p.parent_path().empty() ? fs::path(".") : p.parent_path();
    return (parent / hiddenTemplate(p.filename().string())).string();
}

// The mode a file or directory created in the ordinary way gets (temporary ones are private).
mode_t ordinaryMode(mode_t mode)
{
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mode & ~mask;
}

std::string makeTempFile(std::string pattern, const std::string& target)
{
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        fail("cannot create a file beside", target, errno);
    ::fchmod(fd, ordinaryMode(0666));
    ::close(fd);
    return pattern;
}

} // namespace

TvxExportOutput::TvxExportOutput(std::string target, Kind kind, bool force)
    : target_(std::move(target)), kind_(kind), force_(force)
{
    while (target_.size() > 1 && target_.back() == '/')
        target_.pop_back();
    if (target_.empty())
        throw EvxExportError("no output path");
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(target_, ec);
    const bool exists = fs::exists(st);
    if (exists && !force_)
        throw EvxExportError(target_ + " exists (--force replaces it)");
    if (kind_ == Kind::File) {
        if (exists && fs::is_directory(fs::status(target_, ec)))
            throw EvxExportError(target_ + " is a directory");
        tempFile_ = makeTempFile(siblingTemplate(target_), target_);
        return;
    }
    if (exists) {
        if (!fs::is_directory(fs::status(target_, ec)))
            throw EvxExportError(target_ + " is not a directory");
        return; // files are written beside their final names
    }
    std::string pattern = siblingTemplate(target_);
    if (!::mkdtemp(pattern.data()))
        fail("cannot create a directory beside", target_, errno);
    tempDir_ = pattern;
    ::chmod(tempDir_.c_str(), ordinaryMode(0777));
}

TvxExportOutput::~TvxExportOutput()
{
    if (!committed_)
        removeTemporaries();
}

std::string TvxExportOutput::AddFile(std::string_view name)
{
    const std::string final = (fs::path(target_) / name).string();
    std::string temp;
    if (!tempDir_.empty()) {
        temp = (fs::path(tempDir_) / name).string();
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            fail("cannot create", temp, errno);
        ::close(fd);
    } else {
        temp = makeTempFile((fs::path(target_) / hiddenTemplate(name)).string(), final);
    }
    files_.emplace_back(temp, final);
    return temp;
}

void TvxExportOutput::Commit()
{
    if (kind_ == Kind::File) {
        syncPath(tempFile_);
        moveInto(tempFile_, target_, force_);
    } else {
        for (const auto& [temp, final] : files_)
            syncPath(temp);
        if (!tempDir_.empty()) {
            syncPath(tempDir_);
            moveInto(tempDir_, target_, false);
        } else {
            for (const auto& [temp, final] : files_)
                moveInto(temp, final, true);
        }
    }
    committed_ = true;
}

void TvxExportOutput::removeTemporaries() noexcept
{
    std::error_code ec;
    if (!tempFile_.empty()) {
        fs::remove(tempFile_, ec);
        fs::remove(tempFile_ + "-journal", ec);
    }
    if (!tempDir_.empty())
        fs::remove_all(tempDir_, ec);
    else
        for (const auto& [temp, final] : files_)
            fs::remove(temp, ec);
}

} // namespace morvane
