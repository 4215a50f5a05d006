// Driver for fuzz targets when libFuzzer is not available: feeds every file of the given
// folders (or files) to the target, then deterministic mutations of each: truncations at
// every length up to 256 bytes and at sampled lengths beyond, and bytes and short runs set to
// 0x00, 0xFF, 0x7F and 0x80 at every offset of the first KiB (where headers keep their counts
// and offsets) and at 128 sampled offsets beyond.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void runOne(const std::vector<uint8_t>& bytes)
{
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

void runMutations(const std::vector<uint8_t>& seed)
{
    runOne(seed);
    const size_t cutStep = seed.size() > 4096 ? seed.size() / 128 : 16;
    for (size_t len = 0; len < seed.size(); len += (len < 256 ? 1 : cutStep)) {
        std::vector<uint8_t> cut(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(len));
        runOne(cut);
    }
    const size_t farStep = seed.size() > 1024 ? std::max<size_t>(1, (seed.size() - 1024) / 128) : 1;
    for (size_t pos = 0; pos < seed.size(); pos += (pos < 1024 ? 1 : farStep)) {
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x7F}, uint8_t{0x80}}) {
            std::vector<uint8_t> m = seed;
            m[pos] = value;
            runOne(m);
            for (size_t k = pos; k < std::min(seed.size(), pos + 4); ++k)
                m[k] = value;
            runOne(m);
        }
    }
}

std::vector<uint8_t> readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv)
{
    size_t seeds = 0;
    runOne({});
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(arg))
                if (e.is_regular_file())
                    files.push_back(e.path());
        } else if (std::filesystem::is_regular_file(arg)) {
            files.push_back(arg);
        }
        for (const auto& f : files) {
            runMutations(readFile(f));
            ++seeds;
        }
    }
    std::printf("fuzz smoke: %zu seed files replayed with mutations\n", seeds);
    return seeds > 0 ? 0 : 1;
}
