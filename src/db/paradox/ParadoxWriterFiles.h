#pragma once
// The file-system calls of the table writer, in one place so that tests can make any of them
// fail (a full disk, a refused permission). Every failure throws
// EvxEngineError(vxErrWriteFailed) naming the path and the system's reason. ParadoxOutputFile
// is one file being written through it, closed with the object if not finished before.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/TvxPlatformFiles.h"

namespace morvane {

inline constexpr int vxErrWriteFailed = 8450; // a file or directory could not be written

class ParadoxWriterFiles
{
public:
    virtual ~ParadoxWriterFiles() = default;

    // The process's real file system.
    static ParadoxWriterFiles& System();

    // A new directory "<parent>/<prefix>XXXXXX" (mode 0700); returns its path.
    virtual std::string makeTempDirectory(const std::string& parent, const std::string& prefix);
    virtual void makeDirectory(const std::string& path);
    // Creates a new file (it must not exist) for writing; returns its descriptor.
    virtual TvxFileHandle create(const std::string& path);
    // Opens an existing file for reading; returns its descriptor.
    virtual TvxFileHandle openForReading(const std::string& path);
    virtual void writeAt(TvxFileHandle fd, const void* data, std::size_t size, std::uint64_t offset, const std::string& path);
    // Reads up to size bytes; returns how many (0 at the end).
    virtual std::size_t readAt(TvxFileHandle fd, void* data, std::size_t size, std::uint64_t offset, const std::string& path);
    virtual void sync(TvxFileHandle fd, const std::string& path);
    // Starts writing the file's bytes to disk without waiting for them, so that a flush that
    // follows finds them written; a hint that never fails.
    virtual void startWriteback(TvxFileHandle fd) noexcept;
    virtual void close(TvxFileHandle fd, const std::string& path);
    // Moves from to to, atomically, replacing nothing: fails when to exists.
    virtual void rename(const std::string& from, const std::string& to);
    virtual void syncDirectory(const std::string& path);
    // Flushes to disk everything written to the file system that holds path (one flush for all
    // the files of a family rather than one per file).
    virtual void syncFileSystem(const std::string& path);
    // Never throw: they clean up after a failure. False when the entry could not be removed.
    virtual bool remove(const std::string& path) noexcept;
    virtual bool removeDirectory(const std::string& path) noexcept;
    // Names in a directory (no "." or ".."); throws when it cannot be read.
    virtual std::vector<std::string> list(const std::string& path);
};

class ParadoxOutputFile
{
public:
    ParadoxOutputFile(ParadoxWriterFiles& files, std::string path);
    ~ParadoxOutputFile();
    ParadoxOutputFile(const ParadoxOutputFile&) = delete;
    ParadoxOutputFile& operator=(const ParadoxOutputFile&) = delete;

    const std::string& path() const { return path_; }
    void writeAt(const void* data, std::size_t size, std::uint64_t offset);
    // Appends after the highest byte written so far.
    void append(const void* data, std::size_t size);
    std::uint64_t size() const { return size_; }
    // Closes the file; it stays. Its bytes reach the disk with syncFileSystem (or sync); with
    // toDisk they start going there now.
    void finish(bool toDisk = false);

private:
    ParadoxWriterFiles& files_;
    std::string path_;
    TvxFileHandle fd_ = vxNoFileHandle;
    std::uint64_t size_ = 0;
};

} // namespace morvane
