#pragma once
// Random-access bytes of one file of a table's family: a file on disk (read with pread, the
// descriptor owned and closed here) or a buffer in memory (tests, fuzzing). Name() names the
// file in messages. Reads past the end return fewer bytes; a failing read throws
// EvxEngineError(vxErrInvalidFile) naming the file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/TvxPlatformFiles.h"

namespace morvane {

class ParadoxByteSource
{
public:
    explicit ParadoxByteSource(std::string name) : name_(std::move(name)) {}
    virtual ~ParadoxByteSource() = default;
    ParadoxByteSource(const ParadoxByteSource&) = delete;
    ParadoxByteSource& operator=(const ParadoxByteSource&) = delete;

    const std::string& Name() const { return name_; }
    // The size when the source was opened.
    virtual std::uint64_t Size() const = 0;
    // Up to count bytes from offset into buf; the number read (less only at the end).
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const = 0;

private:
    std::string name_;
};

class ParadoxFileSource : public ParadoxByteSource
{
public:
    // Takes the descriptor (open for reading); name: the path, for messages.
    ParadoxFileSource(TvxFileHandle fd, std::string name);
    ~ParadoxFileSource() override;
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const override;

    // Opens path for reading; throws EvxEngineError(vxErrNotFound) naming it when it cannot.
    static std::unique_ptr<ParadoxFileSource> Open(const std::string& path);

private:
    TvxFileHandle fd_;
    std::uint64_t size_ = 0;
};

class ParadoxMemorySource : public ParadoxByteSource
{
public:
    // The bytes are copied.
    ParadoxMemorySource(const std::uint8_t* data, std::size_t size, std::string name);
    std::uint64_t Size() const override { return bytes_.size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const override;

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace morvane
