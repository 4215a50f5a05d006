#include "server/TvxStagingArea.h"

#include <cctype>

#include "db/paradox/ParadoxWriterFiles.h"
#include "model/vxTextCase.h"
#include "script/vxUpdateServerCodes.h"
#include "server/EvxRunError.h"

namespace morvane {

namespace {

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

bool IsFamilyExtension(const std::string& ext)
{
    const std::string e = UpperText(ext);
    if (e == "DB" || e == "PX" || e == "VAL" || e == "MB" || e == "TV" || e == "FAM")
        return true;
    if (e.size() == 3 && (e[0] == 'X' || e[0] == 'Y'))
        return (e[1] == 'G' && std::isalnum(static_cast<unsigned char>(e[2]))) || (IsHex(e[1]) && IsHex(e[2]));
    return false;
}

TvxStagingArea::TvxStagingArea(ParadoxWriterFiles& files, std::string targetDir)
    : files_(files), target_(std::move(targetDir))
{
    try {
        path_ = files_.makeTempDirectory(target_, ".morvane-new-");
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunTargetNotCreated, e.what());
    }
}

TvxStagingArea::~TvxStagingArea()
{
    RemoveAll(path_);
}

void TvxStagingArea::RemoveAll(const std::string& dir) noexcept
{
    try {
        for (const std::string& name : files_.list(dir))
            files_.remove(dir + "/" + name);
    } catch (...) {
    }
    files_.removeDirectory(dir);
}

void TvxStagingArea::Undo(std::vector<Move>& done) noexcept
{
    while (!done.empty()) {
        try {
            files_.rename(done.back().to, done.back().from);
        } catch (...) {
            // Left where it is: the working directory is kept when it still holds a file.
        }
        done.pop_back();
    }
}

void TvxStagingArea::Commit(const std::vector<std::string>& baseNames)
{
    std::vector<Move> setAside;
    std::vector<Move> placed;
    std::string replaced;
    try {
        const std::vector<std::string> existing = files_.list(target_);
        const std::vector<std::string> staged = files_.list(path_);
        for (const std::string& name : existing) {
            const std::size_t dot = name.rfind('.');
            if (dot == std::string::npos || !IsFamilyExtension(name.substr(dot + 1)))
                continue;
            for (const std::string& base : baseNames)
                if (SameText(name.substr(0, dot), base)) {
                    if (replaced.empty())
                        replaced = files_.makeTempDirectory(target_, ".morvane-old-");
                    setAside.push_back({target_ + "/" + name, replaced + "/" + name});
                    break;
                }
        }
        for (const std::string& name : staged)
            placed.push_back({path_ + "/" + name, target_ + "/" + name});

        std::vector<Move> done;
        try {
            for (const Move& m : setAside) {
                files_.rename(m.from, m.to);
                done.push_back(m);
            }
            for (const Move& m : placed) {
                files_.rename(m.from, m.to);
                done.push_back(m);
            }
            files_.syncDirectory(target_);
        } catch (...) {
            Undo(done);
            throw;
        }
    } catch (const std::exception& e) {
        if (!replaced.empty())
            files_.removeDirectory(replaced); // empty again after the undo; kept if a move back failed
        throw EvxRunError(vxRunTableNotWritten, e.what());
    }
    if (!replaced.empty())
        RemoveAll(replaced);
}

} // namespace morvane
