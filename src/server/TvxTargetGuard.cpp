#include "server/TvxTargetGuard.h"

#include "script/vxUpdateServerCodes.h"

#include "platform/TvxFileLock.h"
#include "server/EvxRunError.h"

namespace morvane {

TvxTargetGuard::TvxTargetGuard(TvxPlatformFiles& files, const std::string& target, std::chrono::milliseconds wait)
{
    std::string holder;
    try {
        lock_ = TvxFileLock::Acquire(files, target + "/" + LockName, wait, holder);
    } catch (const std::exception& e) {
        throw EvxRunError(vxRunTableNotWritten, e.what());
    }
    if (!lock_)
        throw EvxRunError(vxRunTargetLocked, target + ": held by " + holder);
    recovery_ = RecoverTarget(files, target);
    if (!lock_->StaleHolder().empty())
        recovery_.notes.insert(recovery_.notes.begin(), "The target's lock was taken over from " +
                                                            lock_->StaleHolder() +
                                                            ", which ended without releasing it");
}

TvxTargetGuard::~TvxTargetGuard() = default;

} // namespace morvane
