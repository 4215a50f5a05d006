#include "export/TvxExportOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/EvxPlatformError.h"
#include "platform/TvxPlatformFiles.h"
#include "platform/vxFileIo.h"

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
    const TvxFileHandle fd = vxOpenFile(path, EvxOpenMode::Read);
    if (fd == vxNoFileHandle)
        fail("cannot open", path, errno);
    const bool ok = vxFlushFile(fd);
    const int error = errno;
    vxCloseFile(fd);
    if (!ok)
        fail("cannot write", path, error);
}

// Renames without replacing what is there unless replace; the target's absence was checked
// before the export began, but something may have appeared since.
void moveInto(const std::string& from, const std::string& to, bool replace)
{
    try {
        if (replace)
            TvxPlatformFiles::System().MoveReplacing(from, to);
        else
            TvxPlatformFiles::System().Move(from, to);
    } catch (const EvxPlatformError& e) {
        fail("cannot move the export to", to, e.SystemCode());
    }
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

std::string makeTempFile(std::string pattern, const std::string& target)
{
    // Temporary files are private; the export gets the mode of a file created the ordinary way.
    const TvxFileHandle fd = vxMakeTempFile(pattern);
    if (fd == vxNoFileHandle)
        fail("cannot create a file beside", target, errno);
    vxSetFileMode(fd, vxOrdinaryMode(0666));
    vxCloseFile(fd);
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
    if (!vxMakeTempDirectory(pattern))
        fail("cannot create a directory beside", target_, errno);
    tempDir_ = pattern;
    vxSetPathMode(tempDir_, vxOrdinaryMode(0777));
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
        const TvxFileHandle fd = vxOpenFile(temp, EvxOpenMode::CreateNew);
        if (fd == vxNoFileHandle)
            fail("cannot create", temp, errno);
        vxCloseFile(fd);
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
