#pragma once
// TvxFileLock: an exclusive lock file, held while the object lives. The file holds its holder
// ("process <id> on host <name>") and is removed on release; the lock itself is the system's,
// so a holder that dies without releasing it frees it and the next caller takes it over.

#include <chrono>
#include <memory>
#include <string>

#include "platform/TvxPlatformFiles.h"

namespace morvane {

class TvxFileLock
{
public:
    // Takes the lock of path, trying again until wait has passed. Null when another kept it all
    // that time; holder then names that holder (as its file says). Throws EvxPlatformError when
    // the lock file cannot be made or locked at all.
    static std::unique_ptr<TvxFileLock> Acquire(TvxPlatformFiles& files, const std::string& path,
                                                std::chrono::milliseconds wait, std::string& holder);
    ~TvxFileLock();
    TvxFileLock(const TvxFileLock&) = delete;
    TvxFileLock& operator=(const TvxFileLock&) = delete;

    // The holder named in the file when it was taken: one that ended without releasing it
    // (empty when the file was new).
    const std::string& StaleHolder() const { return staleHolder_; }

private:
    TvxFileLock(TvxPlatformFiles& files, std::string path, TvxFileHandle handle)
        : files_(files), path_(std::move(path)), handle_(handle)
    {}

    TvxPlatformFiles& files_;
    std::string path_;
    TvxFileHandle handle_;
    std::string staleHolder_;
};

} // namespace morvane
