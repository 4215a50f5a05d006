#include "platform/TvxFileLock.h"

#include <thread>

namespace morvane {

namespace {

constexpr std::size_t MaxHolderText = 1024;

std::string HolderText(TvxPlatformFiles& files, const std::string& path)
{
    try {
        std::string text = files.ReadSmallFile(path, MaxHolderText).value_or("");
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

std::unique_ptr<TvxFileLock> TvxFileLock::Acquire(TvxPlatformFiles& files, const std::string& path,
                                                  std::chrono::milliseconds wait, std::string& holder)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (auto pause = std::chrono::milliseconds(10);; pause = std::min(pause * 2, std::chrono::milliseconds(200))) {
        const TvxFileHandle handle = files.TryLockFile(path);
        if (handle != vxNoFileHandle) {
            std::unique_ptr<TvxFileLock> lock(new TvxFileLock(files, path, handle));
            lock->staleHolder_ = HolderText(files, path);
            files.WriteLockedFile(handle, files.ProcessName() + "\n");
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            holder = HolderText(files, path);
            if (holder.empty())
                holder = "another process";
            return nullptr;
        }
        std::this_thread::sleep_for(pause);
    }
}

TvxFileLock::~TvxFileLock()
{
    files_.ReleaseLockFile(handle_, path_);
}

} // namespace morvane
