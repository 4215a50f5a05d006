#include "stream/TvxStream.h"

#include <string>

#include "stream/EvxStreamError.h"

namespace morvane {

std::int64_t TvxStream::Size()
{
    const std::int64_t pos = Position();
    const std::int64_t size = Seek(0, TvxSeekOrigin::End);
    Seek(pos, TvxSeekOrigin::Begin);
    return size;
}

namespace {
std::string Format(const char* pattern, const std::string& fileName)
{
    std::string s(pattern);
    const auto at = s.find("%s");
    if (at != std::string::npos)
        s.replace(at, 2, fileName);
    return s;
}
} // namespace

EFCreateError::EFCreateError(const std::string& fileName) : EvxFileStreamError(Format(SFCreateError, fileName)) {}

EFOpenError::EFOpenError(const std::string& fileName) : EvxFileStreamError(Format(SFOpenError, fileName)) {}

} // namespace morvane
