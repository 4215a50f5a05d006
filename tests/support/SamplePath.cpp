#include "support/SamplePath.h"

#include "support/TestFailure.h"

#include <filesystem>

namespace morvane::test {

std::string SamplePath(std::string_view relative)
{
    std::string path(MORVANE_SAMPLES_DIR);
    if (!relative.empty())
        path.append("/").append(relative);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        FailTest("sample missing: " + path);
    return path;
}

} // namespace morvane::test
