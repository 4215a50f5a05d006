#pragma once
// A temporary directory for one test, removed with everything in it afterwards.

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace morvane::test {

class EngineTestDir
{
public:
    EngineTestDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "morvane-f-XXXXXX").string();
        if (::mkdtemp(tmpl.data()))
            path_ = tmpl;
    }
    ~EngineTestDir()
    {
        std::error_code ec;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ec);
    }
    EngineTestDir(const EngineTestDir&) = delete;
    EngineTestDir& operator=(const EngineTestDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

} // namespace morvane::test
