#include "PxlibTableWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

extern "C" {
#include <paradox.h>
}

namespace example {

namespace {

namespace fs = std::filesystem;

bool failed = false;

void onError(pxdoc_t*, int type, const char* msg, void*)
{
    std::fprintf(stderr, "make-example-db: pxlib: %s (%d)\n", msg, type);
    failed = true;
}

pxfield_t* makeFields(const std::vector<FieldSpec>& specs)
{
    // pxlib frees these with the document.
    auto* fields = static_cast<pxfield_t*>(std::calloc(specs.size(), sizeof(pxfield_t)));
    for (std::size_t i = 0; i < specs.size(); ++i) {
        fields[i].px_fname = strdup(specs[i].name.c_str());
        fields[i].px_ftype = specs[i].type;
        fields[i].px_flen = specs[i].length;
        fields[i].px_fdc = specs[i].decimals;
    }
    return fields;
}

// A new pxlib document for path, or null.
pxdoc_t* createFile(const fs::path& path, const std::vector<FieldSpec>& specs, int fileType, int keyFields)
{
    std::error_code ec;
    fs::remove(path, ec);
    pxdoc_t* px = PX_new2(onError, nullptr, nullptr, nullptr);
    if (!px)
        return nullptr;
    if (PX_create_file(px, makeFields(specs), static_cast<int>(specs.size()), path.c_str(), fileType) < 0) {
        PX_delete(px);
        return nullptr;
    }
    PX_set_value(px, "codepage", 1252);
    if (keyFields > 0)
        PX_set_value(px, "numprimkeys", static_cast<float>(keyFields));
    return px;
}

void closeFile(pxdoc_t* px)
{
    if (px) {
        PX_close(px);
        PX_delete(px);
    }
}

bool insertRows(pxdoc_t* px, const std::vector<FieldSpec>& specs, const std::vector<Row>& rows)
{
    for (const auto& row : rows) {
        std::vector<pxval_t> values(specs.size());
        std::vector<pxval_t*> pointers(specs.size());
        std::vector<std::string> texts(specs.size());
        for (std::size_t i = 0; i < specs.size(); ++i) {
            pxval_t& v = values[i];
            std::memset(&v, 0, sizeof v);
            v.type = specs[i].type;
            const Cell& c = i < row.size() ? row[i] : Cell{};
            v.isnull = c.kind == Cell::Null;
            if (c.kind == Cell::Text) {
                texts[i] = c.text;
                v.value.str.val = texts[i].data();
                v.value.str.len = static_cast<int>(texts[i].size());
            } else if (c.kind == Cell::Integer) {
                v.value.lval = c.integer;
            } else if (c.kind == Cell::Real) {
                v.value.dval = c.real;
            }
            pointers[i] = &v;
        }
        if (PX_insert_record(px, pointers.data()) < 0)
            return false;
    }
    return true;
}

// A primary or secondary index over the first keyFields fields of the open document data.
bool writeTree(pxdoc_t* data, const fs::path& path, const std::vector<FieldSpec>& keys, int fileType)
{
    pxdoc_t* tree = createFile(path, keys, fileType, 0);
    const bool ok = tree && PX_write_primary_index(data, tree) >= 0;
    closeFile(tree);
    return ok;
}

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

unsigned le16(const std::vector<std::uint8_t>& h, std::size_t at) { return h[at] | (h[at + 1] << 8); }
void setLe16(std::vector<std::uint8_t>& h, std::size_t at, unsigned v)
{
    h[at] = static_cast<std::uint8_t>(v & 0xFF);
    h[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// pxlib leaves header byte 0x55 (referential-integrity/index flags) uninitialised.
bool setFlagsByte(const fs::path& file, std::uint8_t value)
{
    auto h = readFile(file);
    if (h.size() < 0x78)
        return false;
    h[0x55] = value;
    return writeFile(file, h);
}

// What pxlib does not write into an X header: the file type (pxlib writes that of a keyed
// table), the table positions of the indexed fields (the first one also at 0x15), the option
// byte and the index name after the language-driver name.
bool completeIndexHeader(const fs::path& file, int fileType, const IndexSpec& index)
{
    auto h = readFile(file);
    if (h.size() < 0x78)
        return false;
    const std::size_t ids = 0x58 + le16(h, 0x66);
    const std::size_t ld = 0x58 + le16(h, 0x6E);
    const std::size_t headerSize = le16(h, 0x02);
    const auto ldEnd = std::find(h.begin() + static_cast<std::ptrdiff_t>(std::min(ld, h.size())), h.end(), 0);
    const std::size_t nameAt = static_cast<std::size_t>(ldEnd - h.begin()) + 1;
    if (ids + 2 * index.fields.size() > headerSize || nameAt + index.name.size() + 1 > headerSize)
        return false;
    h[0x04] = static_cast<std::uint8_t>(fileType);
    h[0x15] = static_cast<std::uint8_t>(index.fields.front());
    h[0x55] = index.caseInsensitive ? 0x01 : 0x00;
    for (std::size_t i = 0; i < index.fields.size(); ++i)
        setLe16(h, ids + 2 * i, static_cast<unsigned>(index.fields[i]));
    std::copy(index.name.begin(), index.name.end(), h.begin() + static_cast<std::ptrdiff_t>(nameAt));
    h[nameAt + index.name.size()] = 0;
    if (!index.name.empty())
        setLe16(h, 0x51, static_cast<unsigned>(nameAt + index.name.size() + 1));
    return writeFile(file, h);
}

bool cellLess(const Cell& a, const Cell& b, bool caseInsensitive)
{
    if (a.kind != b.kind)
        return a.kind < b.kind; // nulls first
    switch (a.kind) {
    case Cell::Text:
        if (caseInsensitive)
            return std::lexicographical_compare(a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                                                [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
        return a.text < b.text;
    case Cell::Integer: return a.integer < b.integer;
    case Cell::Real: return a.real < b.real;
    default: return false;
    }
}

std::string indexExtension(char kind, const IndexSpec& index)
{
    char ext[8];
    if (index.name.empty())
        std::snprintf(ext, sizeof ext, ".%c%02d", kind, index.fields.front());
    else
        std::snprintf(ext, sizeof ext, ".%cG%d", kind, index.number);
    return ext;
}

} // namespace

bool WriteTable(const fs::path& dir, const TableSpec& table)
{
    const fs::path dbPath = dir / (table.name + ".DB");
    failed = false;
    pxdoc_t* px = createFile(dbPath, table.fields, table.keyFields > 0 ? pxfFileTypIndexDB : pxfFileTypNonIndexDB,
                             table.keyFields);
    if (!px)
        return false;
    PX_set_parameter(px, "tablename", table.name.c_str());
    bool ok = insertRows(px, table.fields, table.rows);
    if (ok && table.keyFields > 0) {
        const std::vector<FieldSpec> keys(table.fields.begin(), table.fields.begin() + table.keyFields);
        ok = writeTree(px, dir / (table.name + ".PX"), keys, pxfFileTypPrimIndex);
    }
    closeFile(px);
    return ok && !failed && setFlagsByte(dbPath, 0);
}

bool WriteSecondaryIndex(const fs::path& dir, const TableSpec& table, const IndexSpec& index)
{
    if (table.keyFields < 1 || index.fields.empty())
        return false;
    // Index fields, the table's key fields, the number of the data block holding the record.
    std::vector<FieldSpec> specs;
    for (int f : index.fields)
        specs.push_back(table.fields.at(static_cast<std::size_t>(f - 1)));
    specs.insert(specs.end(), table.fields.begin(), table.fields.begin() + table.keyFields);
    const std::size_t keyed = specs.size();
    specs.push_back({"Blk Num", pxfShort, 2, 0});

    // Records fill the table's data blocks in key order.
    int recordSize = 0;
    for (const auto& f : table.fields)
        recordSize += f.length;
    const auto dbHeader = readFile(dir / (table.name + ".DB"));
    const int blockBytes = dbHeader.size() > 5 ? dbHeader[5] * 1024 : 0;
    if (blockBytes <= 6 || recordSize < 1)
        return false;
    const int perBlock = std::max(1, (blockBytes - 6) / recordSize);

    std::vector<Row> rows;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        Row row;
        for (int f : index.fields)
            row.push_back(table.rows[r].at(static_cast<std::size_t>(f - 1)));
        row.insert(row.end(), table.rows[r].begin(), table.rows[r].begin() + table.keyFields);
        row.push_back(integer(static_cast<long>(r) / perBlock + 1));
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        return std::lexicographical_compare(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(keyed), b.begin(),
                                            b.begin() + static_cast<std::ptrdiff_t>(keyed),
                                            [&](const Cell& x, const Cell& y) {
                                                return cellLess(x, y, index.caseInsensitive);
                                            });
    });

    const bool single = index.name.empty();
    const fs::path xPath = dir / (table.name + indexExtension('X', index));
    const fs::path yPath = dir / (table.name + indexExtension('Y', index));
    const int xType = single ? pxfFileTypIncSecIndex : pxfFileTypIncSecIndexG;
    failed = false;
    pxdoc_t* x = createFile(xPath, specs, xType, static_cast<int>(specs.size()) - 1);
    if (!x)
        return false;
    bool ok = insertRows(x, specs, rows);
    if (ok) {
        const std::vector<FieldSpec> keys(specs.begin(), specs.begin() + static_cast<std::ptrdiff_t>(keyed));
        ok = writeTree(x, yPath, keys, single ? pxfFileTypSecIndex : pxfFileTypSecIndexG);
    }
    closeFile(x);
    return ok && !failed && completeIndexHeader(xPath, xType, index);
}

} // namespace example
