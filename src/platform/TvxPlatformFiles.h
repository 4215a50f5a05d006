#pragma once
// TvxPlatformFiles: the file-system calls of the commit protocol and of the lock, in one place
// with one side per operating system. Every failure throws EvxPlatformError naming the path and
// the system's reason, except the removals, which clean up after failures and never throw.
// Every method is virtual: a test can make any step fail, or stop there as a killed process
// would. Paths are byte strings as the system takes them ("/" separated; UTF-8 on Win32).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

using TvxFileHandle = std::intptr_t; // a descriptor on POSIX, a HANDLE on Win32
inline constexpr TvxFileHandle vxNoFileHandle = -1;

class TvxPlatformFiles
{
public:
    struct Entry
    {
        std::string name;
        bool directory = false; // a symbolic link is never taken for a directory
    };

    // The process's real file system.
    static TvxPlatformFiles& System();
    virtual ~TvxPlatformFiles() = default;

    // Names in a directory (no "." or "..").
    virtual std::vector<Entry> List(const std::string& dir);
    // True when the name exists (a dangling symbolic link included).
    virtual bool Exists(const std::string& path);
    // True when both names reach one existing file or directory.
    virtual bool SameFile(const std::string& a, const std::string& b);
    // Seconds since the entry was last changed; 0 when it does not exist.
    virtual std::int64_t AgeSeconds(const std::string& path);
    // A new directory "<parent>/<prefix>XXXXXX" only this user reaches; returns its path.
    virtual std::string MakeTempDirectory(const std::string& parent, const std::string& prefix);
    virtual void MakeDirectory(const std::string& path);
    // The whole file; nullopt when it does not exist; throws when it holds more than maxBytes.
    virtual std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes);
    // Makes path hold bytes durably: written under a hidden temporary name beside it
    // (".<name>.tmp-XXXXXX"), flushed, moved over path atomically, the directory flushed.
    virtual void WriteFileDurably(const std::string& path, const std::string& bytes);
    // Atomic moves within one file system: Move fails when to exists, MoveReplacing replaces it
    // (the name to exists at every instant).
    virtual void Move(const std::string& from, const std::string& to);
    virtual void MoveReplacing(const std::string& from, const std::string& to);
    // Gives the file from a second name to (a hard link), or, where the file system has none,
    // a copy flushed to disk. Fails when to exists.
    virtual void KeepCopy(const std::string& from, const std::string& to);
    // A copy of from, flushed to disk, as the new file to (which must not exist).
    virtual void CopyFile(const std::string& from, const std::string& to);
    virtual void FlushFile(const std::string& path);
    // Makes the names in a directory (new, moved, removed) durable.
    virtual void FlushDirectory(const std::string& path);
    // False when the entry exists and could not be removed.
    virtual bool RemoveFile(const std::string& path) noexcept;
    virtual bool RemoveDirectory(const std::string& path) noexcept;

    // Opens path (creating it) and takes the system's exclusive lock on it without waiting;
    // vxNoFileHandle when another holds it. A lock file that its holder removed while this
    // call opened it is opened again, so two callers never both hold a lock on one name.
    virtual TvxFileHandle TryLockFile(const std::string& path);
    // Replaces the text of a locked file (readable by others while locked) and flushes it.
    virtual void WriteLockedFile(TvxFileHandle handle, const std::string& text);
    // Removes the file, then releases the lock and closes the handle.
    virtual void ReleaseLockFile(TvxFileHandle handle, const std::string& path) noexcept;

    // This process, as a lock's holder: "process <id> on host <name>".
    virtual std::string ProcessName();
};

} // namespace morvane
