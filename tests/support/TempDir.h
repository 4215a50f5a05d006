#pragma once
// TempDir: a fresh directory under the system's temporary folder for one test, removed with
// everything in it when the object goes. Failing to create it fails the test (FailTest).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::test {

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // The path of name (which may hold subfolders) inside the directory.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // Writes bytes to name, creating its folders; read gives "" for a missing file.
    void write(std::string_view name, std::string_view bytes) const;
    std::string read(std::string_view name) const;
    // Copies sample files (paths relative to the samples folder) into the directory, writable.
    void copySamples(const std::vector<std::string>& relatives) const;

private:
    std::filesystem::path path_;
};

} // namespace morvane::test
