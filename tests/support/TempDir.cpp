#include "support/TempDir.h"

#include "support/SamplePath.h"
#include "support/TestFailure.h"

#include <fstream>
#include <iterator>

#include "platform/vxFileIo.h"
#include "platform/vxPath.h"

namespace morvane::test {

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::error_code ec;
    std::string templ = vxPathString(fs::temp_directory_path(ec) / "morvane-XXXXXX");
    if (vxMakeTempDirectory(templ))
        path_ = vxPath(templ);
    else
        FailTest("cannot create a temporary directory from " + templ);
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (!path_.empty())
        fs::remove_all(path_, ec);
}

void TempDir::write(std::string_view name, std::string_view bytes) const
{
    const fs::path target = path_ / name;
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        FailTest("cannot write " + target.string());
}

std::string TempDir::read(std::string_view name) const
{
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void TempDir::copySamples(const std::vector<std::string>& relatives) const
{
    for (const auto& relative : relatives) {
        const fs::path source(SamplePath(relative));
        std::ifstream in(source, std::ios::binary);
        write(source.filename().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
}

} // namespace morvane::test
