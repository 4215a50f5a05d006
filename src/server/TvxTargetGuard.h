#pragma once
// TvxTargetGuard: the exclusive hold of a run (or a copy) on its target directory, from
// planning to the end of the commit: the lock file ".morvane-lock" in the target, then the
// recovery of what an interrupted run left (RecoverTarget). Throws EvxRunError 306 when
// another run keeps the lock for the whole wait (the message names it), 293 when the lock
// file cannot be made or recovery fails.

#include <chrono>
#include <memory>
#include <string>

#include "server/TvxTargetRecovery.h"

namespace morvane {

class TvxFileLock;
class TvxPlatformFiles;

class TvxTargetGuard
{
public:
    static constexpr const char* LockName = ".morvane-lock";
    static constexpr std::chrono::milliseconds DefaultWait{30000};

    TvxTargetGuard(TvxPlatformFiles& files, const std::string& target, std::chrono::milliseconds wait = DefaultWait);
    ~TvxTargetGuard();
    TvxTargetGuard(const TvxTargetGuard&) = delete;
    TvxTargetGuard& operator=(const TvxTargetGuard&) = delete;

    // What recovery did, the lock taken over from a holder that died first.
    const TvxRecovery& Recovery() const { return recovery_; }

private:
    std::unique_ptr<TvxFileLock> lock_;
    TvxRecovery recovery_;
};

} // namespace morvane
