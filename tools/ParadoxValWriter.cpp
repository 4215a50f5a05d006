#include "ParadoxValWriter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace example {

namespace {

constexpr std::size_t FirstCheck = 0x35;
constexpr std::size_t DependentRecord = 0x1E0;
constexpr std::size_t MasterRecord = 0x12A;
constexpr std::size_t MaxRuleFields = 16;
constexpr std::size_t TableNameArea = 79;

// What the .VAL copies from its table's header.
struct TableIdentity
{
    std::uint8_t changeCount = 0;
    std::uint8_t version = 0;
    std::uint32_t updateTime = 0;
    std::uint8_t hiFieldId = 0;
    std::uint16_t keyFields = 0;
    std::vector<std::uint16_t> ids;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> types; // (type, size byte)
    std::vector<int> lengths;                                 // bytes in a record
};

class Bytes
{
public:
    std::size_t size() const { return data_.size(); }
    void u8(std::size_t at, unsigned v) { grow(at + 1)[at] = static_cast<std::uint8_t>(v); }
    void u16(std::size_t at, unsigned v)
    {
        u8(at, v & 0xFF);
        u8(at + 1, (v >> 8) & 0xFF);
    }
    void u32(std::size_t at, std::uint32_t v)
    {
        u16(at, v & 0xFFFF);
        u16(at + 2, v >> 16);
    }
    // ASCIIZ in a fixed area of width bytes (cut to width - 1).
    void text(std::size_t at, const std::string& s, std::size_t width)
    {
        grow(at + width);
        for (std::size_t i = 0; i < s.size() && i + 1 < width; ++i)
            data_[at + i] = static_cast<std::uint8_t>(s[i]);
    }
    void bytes(std::size_t at, const std::vector<std::uint8_t>& v)
    {
        grow(at + v.size());
        std::copy(v.begin(), v.end(), data_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    void positions(std::size_t at, const std::vector<int>& fields)
    {
        for (std::size_t i = 0; i < fields.size() && i < MaxRuleFields; ++i)
            u16(at + 2 * i, static_cast<unsigned>(fields[i]));
    }
    const std::vector<std::uint8_t>& data() const { return data_; }

private:
    std::vector<std::uint8_t>& grow(std::size_t n)
    {
        if (data_.size() < n)
            data_.resize(n, 0);
        return data_;
    }
    std::vector<std::uint8_t> data_;
};

int recordLength(std::uint8_t type, std::uint8_t size)
{
    switch (type) {
    case 0x01: case 0x18: return size;              // Alpha, Bytes
    case 0x02: case 0x04: case 0x14: case 0x16: return 4; // Date, Long, Time, Autoinc
    case 0x03: return 2;                            // Short
    case 0x05: case 0x06: case 0x15: return 8;      // Money, Number, Timestamp
    case 0x09: return 1;                            // Logical
    case 0x17: return 17;                           // BCD
    default: return size;                           // blobs: leader + 10
    }
}

unsigned le16(const std::vector<std::uint8_t>& h, std::size_t at) { return h[at] | (h[at + 1] << 8); }

bool readIdentity(const std::filesystem::path& dbFile, TableIdentity& id)
{
    std::ifstream in(dbFile, std::ios::binary);
    const std::vector<std::uint8_t> h{std::istreambuf_iterator<char>(in), {}};
    if (h.size() < 0x78 || h[0x39] < 5) {
        std::fprintf(stderr, "make-example-db: %s is not a level 4+ table\n", dbFile.c_str());
        return false;
    }
    const unsigned n = le16(h, 0x21);
    const std::size_t idsAt = 0x58 + le16(h, 0x66);
    if (0x78 + 2 * n > h.size() || idsAt + 2 * n > h.size()) {
        std::fprintf(stderr, "make-example-db: %s has a short header\n", dbFile.c_str());
        return false;
    }
    id.changeCount = h[0x2E];
    id.version = h[0x39];
    id.updateTime = le16(h, 0x60) | (static_cast<std::uint32_t>(le16(h, 0x62)) << 16);
    id.hiFieldId = h[0x64];
    id.keyFields = static_cast<std::uint16_t>(le16(h, 0x23));
    for (unsigned i = 0; i < n; ++i) {
        id.types.emplace_back(h[0x78 + 2 * i], h[0x78 + 2 * i + 1]);
        id.lengths.push_back(recordLength(h[0x78 + 2 * i], h[0x78 + 2 * i + 1]));
        id.ids.push_back(static_cast<std::uint16_t>(le16(h, idsAt + 2 * i)));
    }
    return true;
}

bool checkValue(const std::optional<DiskValue>& v, int length, const ValCheckSpec& c)
{
    if (!v || static_cast<int>(v->size()) == length)
        return true;
    std::fprintf(stderr, "make-example-db: value of %zu bytes for field %d of %d bytes\n", v->size(), c.field, length);
    return false;
}

void writeChecks(Bytes& b, const ValFileSpec& spec)
{
    b.u8(FirstCheck - 1, 0); // the header's zero area, also when there are no checks
    std::size_t pos = FirstCheck;
    for (const auto& c : spec.checks) {
        b.u8(pos, static_cast<unsigned>(c.field - 1));
        b.u8(pos + 1, c.picture.empty() ? 0 : static_cast<unsigned>(c.picture.size() + 1));
        b.u8(pos + 2, c.required ? 1 : 0);
        b.u32(pos + 0x0C, c.minimum ? 1 : 0);
        b.u32(pos + 0x10, c.maximum ? 1 : 0);
        b.u32(pos + 0x14, c.defaultValue ? 1 : 0);
        b.u32(pos + 0x18, c.picture.empty() ? 0 : 1);
        pos += 0x1C;
        for (const auto* v : {&c.minimum, &c.maximum, &c.defaultValue})
            if (*v) {
                b.bytes(pos, **v);
                pos += (*v)->size();
            }
        if (!c.picture.empty()) {
            b.text(pos, c.picture, c.picture.size() + 1);
            pos += c.picture.size() + 1;
        }
    }
}

void writeRules(Bytes& b, const ValFileSpec& spec)
{
    const std::size_t start = b.size();
    b.u16(start, static_cast<unsigned>(spec.dependentRules.size()));
    std::size_t at = start + 2;
    for (const auto& r : spec.dependentRules) {
        b.text(at, r.name, 64);
        b.text(at + 0x40, r.indexName, 64);
        b.u8(at + 0xB2, static_cast<unsigned>(r.indexNumber));
        b.text(at + 0xD4, r.masterTable, 0x19A - 0xD4);
        b.u32(at + 0x19A, r.cascade ? 1 : 0);
        b.u16(at + 0x19E, static_cast<unsigned>(r.fields.size()));
        b.positions(at + 0x1A0, r.fields);
        b.positions(at + 0x1C0, r.masterFields);
        b.u8(at + DependentRecord - 1, 0); // the record's full width
        at += DependentRecord;
    }
    const bool master = !spec.masterRules.empty();
    b.u16(at, master ? 1 : 0);
    if (!master)
        return;
    b.u16(at + 0x96, static_cast<unsigned>(spec.masterKey.size()));
    b.positions(at + 0x98, spec.masterKey);
    b.u16(at + 0xB8, static_cast<unsigned>(spec.masterRules.size()));
    std::size_t r = at + 0xBA;
    for (const auto& m : spec.masterRules) {
        b.text(r, m.name, 64);
        b.text(r + 0x40, m.dependentTable, 0x52);
        b.text(r + 0x92, m.indexName, 0x72);
        b.u16(r + 0x104, static_cast<unsigned>(m.indexNumber));
        b.u16(r + 0x106, m.cascade ? 1 : 0);
        b.positions(r + 0x10A, m.dependentFields);
        b.u8(r + MasterRecord - 1, 0); // the record's full width
        r += MasterRecord;
    }
}

void writeFooter(Bytes& b, const TableIdentity& id, const std::vector<std::string>& names, const std::string& tableName)
{
    const std::size_t at = b.size();
    const std::size_t n = id.ids.size();
    std::size_t trailing = TableNameArea;
    for (const auto& name : names)
        trailing += name.size() + 1;
    b.u16(at, static_cast<unsigned>(n));
    b.u16(at + 2, id.keyFields);
    b.u16(at + 4, static_cast<unsigned>(trailing));
    for (std::size_t i = 0; i < n; ++i) {
        b.u16(at + 6 + 2 * i, id.ids[i]);
        b.u8(at + 6 + 2 * n + 2 * i, id.types[i].first);
        b.u8(at + 6 + 2 * n + 2 * i + 1, id.types[i].second);
    }
    std::size_t pos = at + 6 + 4 * n;
    b.text(pos, tableName, TableNameArea);
    pos += TableNameArea;
    for (const auto& name : names) {
        b.text(pos, name, name.size() + 1);
        pos += name.size() + 1;
    }
}

} // namespace

bool WriteParadoxVal(const std::filesystem::path& dbFile, const std::vector<std::string>& fieldNames,
                     const ValFileSpec& spec)
{
    TableIdentity id;
    if (!readIdentity(dbFile, id))
        return false;
    if (fieldNames.size() != id.ids.size()) {
        std::fprintf(stderr, "make-example-db: %s has %zu fields, %zu names given\n", dbFile.c_str(), id.ids.size(),
                     fieldNames.size());
        return false;
    }
    for (const auto& c : spec.checks) {
        if (c.field < 1 || c.field > static_cast<int>(id.lengths.size()))
            return std::fprintf(stderr, "make-example-db: check of field %d\n", c.field), false;
        const int length = id.lengths[static_cast<std::size_t>(c.field - 1)];
        if (!checkValue(c.minimum, length, c) || !checkValue(c.maximum, length, c) ||
            !checkValue(c.defaultValue, length, c))
            return false;
    }

    Bytes b;
    b.u8(0x00, id.changeCount);
    b.u8(0x01, id.version);
    b.u8(0x02, static_cast<unsigned>(spec.checks.size()));
    b.u32(0x03, id.updateTime);
    b.u8(0x07, id.hiFieldId);
    writeChecks(b, spec);
    if (!spec.dependentRules.empty() || !spec.masterRules.empty()) {
        b.u32(0x0D, static_cast<std::uint32_t>(b.size()));
        writeRules(b, spec);
    }
    b.u32(0x09, static_cast<std::uint32_t>(b.size()));
    writeFooter(b, id, fieldNames, dbFile.filename().string());

    std::filesystem::path valFile = dbFile;
    valFile.replace_extension(".VAL");
    std::ofstream out(valFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data().data()), static_cast<std::streamsize>(b.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-example-db: cannot write %s\n", valFile.c_str());
        return false;
    }
    return true;
}

} // namespace example
