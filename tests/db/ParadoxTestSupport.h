#pragma once
// Helpers of the Paradox reader tests: whole files as bytes and pxlib as an independent reader
// of the same headers. Sample paths and temporary folders come from tests/support.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/SamplePath.h"
#include "support/TempDir.h"

extern "C" {
#include <paradox.h>
}
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace morvane::test {

inline std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void PutU16(std::vector<std::uint8_t>& b, std::size_t off, std::uint16_t v)
{
    b[off] = static_cast<std::uint8_t>(v);
    b[off + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::vector<std::uint8_t>& b, std::size_t off, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// What pxlib reads from a header. pxlib keeps some allocations for the process's life; the
// leak checker is told to ignore them.
struct PxOracle
{
    bool opened = false;
    int fileType = -1;
    int fileVersion = 0; // 30, 35, 40, 50, 70
    int recordSize = 0;
    int headerSize = 0;
    int blockSizeKb = 0;
    int numRecords = 0;
    int numFields = 0;
    int keyFields = 0;
    int codePage = 0;
    int sortOrder = 0;
    int autoInc = 0;
    unsigned long encryption = 0;
    struct Field
    {
        std::string name;
        int type = 0;
        int length = 0;
        int decimals = 0;
    };
    std::vector<Field> fields;

    static PxOracle Read(const std::string& path)
    {
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler noLeakCheck;
#endif
        PxOracle o;
        pxdoc_t* px = PX_new2([](pxdoc_t*, int, const char*, void*) {}, nullptr, nullptr, nullptr);
        if (!px)
            return o;
        if (PX_open_file(px, path.c_str()) == 0) {
            const pxhead_t* h = px->px_head;
            o.opened = true;
            o.fileType = h->px_filetype;
            o.fileVersion = h->px_fileversion;
            o.recordSize = h->px_recordsize;
            o.headerSize = h->px_headersize;
            o.blockSizeKb = h->px_maxtablesize;
            o.numRecords = h->px_numrecords;
            o.numFields = h->px_numfields;
            o.keyFields = h->px_primarykeyfields;
            o.codePage = h->px_doscodepage;
            o.sortOrder = static_cast<unsigned char>(h->px_sortorder);
            o.autoInc = h->px_autoinc;
            o.encryption = h->px_encryption;
            for (int i = 0; i < h->px_numfields; ++i) {
                const pxfield_t& f = h->px_fields[i];
                o.fields.push_back({f.px_fname ? f.px_fname : "", static_cast<unsigned char>(f.px_ftype), f.px_flen,
                                    f.px_fdc});
            }
            PX_close(px);
        }
        PX_delete(px);
        return o;
    }
};

} // namespace morvane::test
