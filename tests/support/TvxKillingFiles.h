#pragma once
// The platform's file system, stopped at its n-th step as a killed process would be: that call
// and every later one change nothing and throw (removals answer false; a lock is dropped with
// its file left behind, as the system does for a dead holder). A step is any call that changes
// the disk; a durable write is two (before it, and with the new text left under its temporary
// name only). It never asks the disk to flush (the kills are about where work stops, not about
// power loss), which keeps the many runs quick; with no kill point it is a quick file system.

#include <limits>

#include "platform/TvxPlatformFiles.h"

namespace morvane::test {

class TvxKillingFiles : public TvxPlatformFiles
{
public:
    explicit TvxKillingFiles(int killAt = std::numeric_limits<int>::max()) : killAt_(killAt) {}
    // Steps taken; fewer than the kill point when the work ended first.
    int steps = 0;
    bool Killed() const { return steps >= killAt_; }

    std::vector<Entry> List(const std::string& dir) override;
    bool Exists(const std::string& path) override;
    std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes) override;
    std::string MakeTempDirectory(const std::string& parent, const std::string& prefix) override;
    void MakeDirectory(const std::string& path) override;
    void WriteFileDurably(const std::string& path, const std::string& bytes) override;
    void Move(const std::string& from, const std::string& to) override;
    void MoveReplacing(const std::string& from, const std::string& to) override;
    void KeepCopy(const std::string& from, const std::string& to) override;
    void CopyFile(const std::string& from, const std::string& to) override;
    void FlushFile(const std::string& path) override;
    void FlushDirectory(const std::string& path) override;
    bool RemoveFile(const std::string& path) noexcept override;
    bool RemoveDirectory(const std::string& path) noexcept override;
    TvxFileHandle TryLockFile(const std::string& path) override;
    void WriteLockedFile(TvxFileHandle handle, const std::string& text) override;
    void ReleaseLockFile(TvxFileHandle handle, const std::string& path) noexcept override;

private:
    void Alive() const;
    void Step();
    int killAt_;
};

} // namespace morvane::test
