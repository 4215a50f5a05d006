#pragma once
// TvxFileStream: a file on disk. Create makes a new file or empties an existing one (throws
// EFCreateError "Cannot create file %s"); the open modes throw EFOpenError "Cannot open file %s".
// The stream owns the descriptor and closes it on destruction; Close reports a failed close or
// flush to disk by returning false.

#include <string>

#include "platform/TvxPlatformFiles.h"
#include "stream/TvxStream.h"

namespace morvane {

class TvxFileStream : public TvxStream
{
public:
    enum class Mode { Create, OpenRead, OpenReadWrite };

    TvxFileStream(const std::string& fileName, Mode mode);
    ~TvxFileStream() override;
    TvxFileStream(const TvxFileStream&) = delete;
    TvxFileStream& operator=(const TvxFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TvxSeekOrigin origin) override;

    const std::string& FileName() const { return fileName_; }
    // Writes the file's data through to the disk; false when that fails.
    bool Sync();
    bool Close();

private:
    std::string fileName_;
    TvxFileHandle fd_ = vxNoFileHandle;
};

} // namespace morvane
