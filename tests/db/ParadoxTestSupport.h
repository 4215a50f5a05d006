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


// The records pxlib reads from a table: per record, each field's raw bytes (decrypted by
// pxlib) and what its PX_get_data_* call gives. Blob fields are left to the blob checks.
struct PxRecordOracle
{
    struct Value
    {
        int got = 0; // the call's result: 1 value, 0 blank, < 0 error; 2 = not asked (blob)
        std::string raw;
        long integer = 0;
        double real = 0;
        std::string text;
    };
    bool opened = false;
    std::vector<pxfield_t> fields;
    std::vector<std::vector<Value>> records;

    static PxRecordOracle Read(const std::string& path)
    {
#if defined(__SANITIZE_ADDRESS__)
        __lsan::ScopedDisabler noLeakCheck;
#endif
        PxRecordOracle o;
        pxdoc_t* px = PX_new2([](pxdoc_t*, int, const char*, void*) {}, nullptr, nullptr, nullptr);
        if (!px)
            return o;
        if (PX_open_file(px, path.c_str()) == 0) {
            o.opened = true;
            const pxhead_t* h = px->px_head;
            o.fields.assign(h->px_fields, h->px_fields + h->px_numfields);
            std::vector<char> buf(static_cast<std::size_t>(h->px_recordsize));
            for (int r = 0; r < h->px_numrecords; ++r) {
                if (!PX_get_record(px, r, buf.data())) {
                    o.opened = false;
                    break;
                }
                std::vector<Value> rec;
                const char* p = buf.data();
                for (const pxfield_t& f : o.fields) {
                    Value v;
                    v.raw.assign(p, static_cast<std::size_t>(f.px_flen));
                    char* data = const_cast<char*>(p);
                    char* str = nullptr;
                    switch (f.px_ftype) {
                    case pxfAlpha:
                        v.got = PX_get_data_alpha(px, data, f.px_flen, &str);
                        break;
                    case pxfShort: {
                        short s = 0;
                        v.got = PX_get_data_short(px, data, f.px_flen, &s);
                        v.integer = s;
                        break;
                    }
                    case pxfLong: case pxfDate: case pxfTime: case pxfAutoInc:
                        v.got = PX_get_data_long(px, data, f.px_flen, &v.integer);
                        break;
                    case pxfNumber: case pxfCurrency: case pxfTimestamp:
                        v.got = PX_get_data_double(px, data, f.px_flen, &v.real);
                        break;
                    case pxfLogical: {
                        char c = 0;
                        v.got = PX_get_data_byte(px, data, f.px_flen, &c);
                        v.integer = c;
                        break;
                    }
                    case pxfBCD:
                        v.got = PX_get_data_bcd(px, reinterpret_cast<unsigned char*>(data), f.px_fdc, &str);
                        break;
                    case pxfBytes:
                        v.got = PX_get_data_bytes(px, data, f.px_flen, &str);
                        break;
                    default:
                        v.got = 2;
                        break;
                    }
                    if (str) {
                        v.text = f.px_ftype == pxfBytes ? std::string(str, static_cast<std::size_t>(f.px_flen))
                                                        : std::string(str);
                        px->free(px, str);
                    }
                    rec.push_back(std::move(v));
                    p += f.px_flen;
                }
                o.records.push_back(std::move(rec));
            }
            PX_close(px);
        }
        PX_delete(px);
        return o;
    }
};

} // namespace morvane::test
