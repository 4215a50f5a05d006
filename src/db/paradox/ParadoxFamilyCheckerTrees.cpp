// Family checker: files and their block chains, the index trees (.PX, Y files) and the X files.
#include "db/paradox/ParadoxFamilyCheckerParts.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxBlockWriter.h"
#include "db/paradox/ParadoxKeyOrder.h"
#include "db/paradox/ParadoxLayout.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "platform/vxFileIo.h"

namespace morvane::checker {

namespace {

namespace H = ParadoxHeader;

constexpr std::size_t ReadAheadBlocks = 32;
constexpr std::uint64_t MaxMappedBytes = std::uint64_t{64} << 20; // larger files are read as they go

std::string num(std::uint64_t v)
{
    return std::to_string(v);
}

// The key fields of an X file's entries: all but the last field.
std::vector<ParadoxField> withoutLast(const std::vector<ParadoxField>& fields)
{
    return std::vector<ParadoxField>(fields.begin(), fields.end() - (fields.empty() ? 0 : 1));
}

} // namespace

void Findings::violation(const std::string& file, const std::string& rule, const std::string& message)
{
    report_.findings.push_back({ParadoxFinding::Kind::Violation, file, rule, message});
}

void Findings::deviation(const std::string& file, const std::string& rule, const std::string& message)
{
    report_.findings.push_back({ParadoxFinding::Kind::Deviation, file, rule, message});
}

std::size_t FieldBytes(const std::vector<ParadoxField>& fields, std::size_t count)
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < count && i < fields.size(); ++i)
        bytes += static_cast<std::size_t>(fields[i].length());
    return bytes;
}

std::unique_ptr<ParadoxByteSource> MappedFile::Open(const std::string& path)
{
    const std::uint8_t* data = nullptr;
    TvxFileInfo info;
    const TvxFileHandle fd = vxOpenFile(path, EvxOpenMode::Read);
    if (fd != vxNoFileHandle && vxFileInfoOf(fd, info) && info.regular && info.size > 0 &&
        info.size <= MaxMappedBytes)
        data = vxMapFile(fd, info.size);
    vxCloseFile(fd);
    if (!data)
        return ParadoxFileSource::Open(path); // read, or refused with its reason
    return std::make_unique<MappedFile>(data, info.size, path);
}

MappedFile::MappedFile(const std::uint8_t* data, std::uint64_t size, std::string name)
    : ParadoxByteSource(std::move(name)), data_(data), size_(size)
{
}

MappedFile::~MappedFile()
{
    vxUnmapFile(data_, size_);
}

std::size_t MappedFile::ReadAt(std::uint64_t offset, std::uint8_t* buf, std::size_t count) const
{
    if (offset >= size_)
        return 0;
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - offset));
    std::memcpy(buf, data_ + offset, n);
    return n;
}

bool FamilyFile::open(const ParadoxFamilyFiles& files, const std::string& name, Findings& findings)
{
    name_ = name;
    try {
        source_ = files.open(name);
    } catch (const EvxEngineError&) {
        source_.reset();
    }
    if (!source_) {
        findings.violation(name, "header", "the file cannot be read");
        return false;
    }
    const auto* mapped = dynamic_cast<const MappedFile*>(source_.get());
    mapped_ = mapped ? mapped->data() : nullptr;
    size_ = source_->Size();
    head_.assign(std::min<std::uint64_t>(size_, H::DataHeaderEnd), 0);
    if (!read(0, head_.size(), head_.data()) || head_.size() < H::CommonPartEnd) {
        findings.violation(name, "header", "the file is shorter than a header");
        return false;
    }
    head_.resize(std::min<std::uint64_t>(size_, std::max<std::size_t>(raw16(H::HeaderSize), head_.size())));
    read(0, head_.size(), head_.data());
    try {
        header_ = ParseParadoxHeader(head_.data(), head_.size(), size_, name);
    } catch (const EvxEngineError& e) {
        findings.violation(name, "header", e.what());
        return false;
    }
    blockBytes_ = std::size_t{header_.blockSizeKb} * ParadoxBlock::BytesPerKb;
    return true;
}

void FamilyFile::setKey(std::uint32_t key)
{
    if (key != 0)
        cipher_.emplace(key);
}

std::uint16_t FamilyFile::raw16(std::size_t at) const
{
    return at + 2 <= head_.size() ? ParadoxLe16(&head_[at]) : 0;
}

bool FamilyFile::read(std::uint64_t offset, std::size_t count, std::uint8_t* out) const
{
    if (offset > size_ || count > size_ - offset)
        return false;
    try {
        return source_->ReadAt(offset, out, count) == count;
    } catch (const EvxEngineError&) {
        return false;
    }
}

const std::uint8_t* FamilyFile::view(std::uint32_t n) const
{
    const std::uint64_t at = header_.headerSize + (std::uint64_t{n} - 1) * blockBytes_;
    if (n == 0 || at >= size_)
        return nullptr;
    if (mapped_ && !cipher_ && blockBytes_ <= size_ - at)
        return mapped_ + at;
    if (n < windowFirst_ || n >= windowFirst_ + windowBlocks_) {
        // Chains mostly run forward: read the blocks that follow with this one.
        const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(ReadAheadBlocks * blockBytes_, size_ - at));
        window_.resize((bytes + blockBytes_ - 1) / blockBytes_ * blockBytes_);
        if (!read(at, bytes, window_.data()))
            std::fill(window_.begin(), window_.end(), 0);
        std::fill(window_.begin() + static_cast<std::ptrdiff_t>(bytes), window_.end(), 0); // a short last block
        windowFirst_ = n;
        windowBlocks_ = static_cast<std::uint32_t>(window_.size() / blockBytes_);
        if (cipher_)
            for (std::uint32_t k = 0; k < windowBlocks_; ++k)
                cipher_->DecryptDbBlock(&window_[k * blockBytes_], blockBytes_, n + k);
    }
    return &window_[(n - windowFirst_) * blockBytes_];
}

bool FamilyFile::block(std::uint32_t n, std::vector<std::uint8_t>& out) const
{
    out.resize(blockBytes_);
    const std::uint8_t* b = view(n);
    if (!b) {
        std::fill(out.begin(), out.end(), 0);
        return false;
    }
    std::copy(b, b + blockBytes_, out.begin());
    return true;
}

Chain WalkChain(const FamilyFile& file, std::size_t recordBytes, Findings& findings)
{
    Chain c;
    const std::string& name = file.name();
    const ParadoxTableHeader& h = file.header();
    const std::size_t bb = file.blockBytes();
    const std::uint16_t used = file.raw16(H::UsedBlocks);
    const std::uint16_t fileBlocks = file.raw16(H::FileBlocks);
    const std::uint64_t inFile = file.size() > h.headerSize ? (file.size() - h.headerSize + bb - 1) / bb : 0;
    c.position.assign(std::size_t{fileBlocks} + 1, -1);
    if (recordBytes == 0 || recordBytes + ParadoxBlock::HeaderBytes > bb) {
        findings.violation(name, "header", "records of " + num(recordBytes) + " bytes do not fit its blocks");
        return c;
    }
    if (fileBlocks > inFile)
        findings.violation(name, "counts", "the header counts " + num(fileBlocks) + " blocks, the file holds " +
                                               num(inFile));
    const std::size_t capacity = (bb - ParadoxBlock::HeaderBytes) / recordBytes;
    std::uint16_t previous = 0;
    for (std::uint32_t n = h.firstBlock; n != 0;) {
        if (n > fileBlocks || n > inFile) {
            findings.violation(name, "chain", "block " + num(previous) + " links to block " + num(n) +
                                                  " outside the file's " + num(fileBlocks) + " blocks");
            break;
        }
        if (c.position[n] >= 0) {
            findings.violation(name, "chain", "block " + num(n) + " is reached twice");
            break;
        }
        const std::uint8_t* b = file.view(n);
        const std::uint16_t next = ParadoxLe16(&b[ParadoxBlock::Next]);
        const std::uint16_t prev = ParadoxLe16(&b[ParadoxBlock::Previous]);
        const auto add = static_cast<std::int16_t>(ParadoxLe16(&b[ParadoxBlock::AddDataSize]));
        if (prev != previous)
            findings.violation(name, "chain", "block " + num(n) + " names block " + num(prev) + " as previous, not " +
                                                  num(previous));
        std::size_t count = 0;
        const long span = long{add} + static_cast<long>(recordBytes);
        if (span < 0 || span % static_cast<long>(recordBytes) != 0 ||
            static_cast<std::size_t>(span) / recordBytes > capacity) {
            findings.violation(name, "block", "block " + num(n) + " declares " + std::to_string(add) +
                                                  " as its data size (records of " + num(recordBytes) + " bytes)");
        } else {
            count = static_cast<std::size_t>(span) / recordBytes;
        }
        if (count == 0)
            findings.deviation(name, "empty-block", "block " + num(n) + " holds no record");
        const std::uint64_t start = h.headerSize + (std::uint64_t{n} - 1) * bb;
        if (start + ParadoxBlock::HeaderBytes + count * recordBytes > file.size())
            findings.violation(name, "block", "block " + num(n) + " runs past the end of the file");
        else if (start + bb > file.size())
            findings.deviation(name, "short-block", "block " + num(n) + " is cut short at the end of the file");
        c.position[n] = static_cast<std::int32_t>(c.blocks.size());
        c.blocks.push_back(static_cast<std::uint16_t>(n));
        c.counts.push_back(static_cast<std::uint16_t>(count));
        c.records += count;
        previous = static_cast<std::uint16_t>(n);
        n = next;
    }
    if (c.blocks.size() != used)
        findings.violation(name, "counts", "the chain has " + num(c.blocks.size()) + " blocks, the header counts " +
                                               num(used) + " in use");
    if (previous != h.lastBlock)
        findings.violation(name, "counts", "the chain ends at block " + num(previous) + ", the header names block " +
                                               num(h.lastBlock));
    if (fileBlocks < used)
        findings.violation(name, "counts", num(used) + " blocks in use of " + num(fileBlocks) + " in the file");
    else if (fileBlocks > used)
        findings.deviation(name, "free-blocks", num(fileBlocks - used) + " blocks are free");
    if (file.raw16(H::MaxBlocks) != fileBlocks)
        findings.violation(name, "counts", "0x3A holds " + num(file.raw16(H::MaxBlocks)) + ", not the " +
                                               num(fileBlocks) + " blocks of the file");
    return c;
}

void BlockKeys::add(std::uint16_t block, const std::uint8_t* key, std::uint16_t count)
{
    if (slot.size() <= block)
        slot.resize(std::size_t{block} + 1, -1);
    slot[block] = static_cast<std::int32_t>(counts.size());
    keys.insert(keys.end(), key, key + keyBytes);
    counts.push_back(count);
    blocks.push_back(block);
}

namespace {

class TreeWalk
{
public:
    TreeWalk(const FamilyFile& tree, const Chain& chain, const BlockKeys& data, std::size_t keyBytes,
             std::uint8_t levels, Findings& findings)
        : tree_(tree), chain_(chain), data_(data), keyBytes_(keyBytes), levels_(levels), findings_(findings),
          visited_(chain.position.size(), false)
    {
    }

    // The first key (into first) and the count of records under block n at depth.
    bool descend(std::uint32_t n, int depth, std::vector<std::uint8_t>& first, std::uint32_t& total)
    {
        const std::string& name = tree_.name();
        if (n >= chain_.position.size() || chain_.position[n] < 0)
            return fail("index block " + num(n) + " is not in the file's chain");
        if (visited_[n])
            return fail("index block " + num(n) + " is reached twice from the root");
        visited_[n] = true;
        const std::uint16_t entries = chain_.counts[static_cast<std::size_t>(chain_.position[n])];
        if (entries == 0)
            return fail("index block " + num(n) + " of the tree holds no entry");
        std::vector<std::uint8_t> b;
        tree_.block(n, b);
        const std::size_t entryBytes = keyBytes_ + ParadoxIndexEntry::TailBytes;
        total = 0;
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = &b[ParadoxBlock::HeaderBytes + i * entryBytes];
            const std::uint16_t child = ParadoxShortUnsigned(e + keyBytes_ + ParadoxIndexEntry::Child);
            const std::uint16_t count = ParadoxShortUnsigned(e + keyBytes_ + ParadoxIndexEntry::Count);
            if (ParadoxShortUnsigned(e + keyBytes_ + ParadoxIndexEntry::Zero) != 0)
                findings_.violation(name, "tree", "entry " + num(i + 1) + " of block " + num(n) +
                                                      " has a non-zero third value");
            if (i == 0)
                first.assign(e, e + keyBytes_);
            total += count;
            if (depth == levels_) {
                leaf(n, i, e, child, count);
                continue;
            }
            std::vector<std::uint8_t> childFirst;
            std::uint32_t childTotal = 0;
            if (!descend(child, depth + 1, childFirst, childTotal))
                continue;
            if (std::memcmp(childFirst.data(), e, keyBytes_) != 0)
                findings_.violation(name, "tree", "entry " + num(i + 1) + " of block " + num(n) +
                                                      " does not hold the first key of block " + num(child));
            if ((childTotal & 0xFFFF) != count)
                findings_.violation(name, "tree", "entry " + num(i + 1) + " of block " + num(n) + " counts " +
                                                      num(count) + " records, block " + num(child) + " holds " +
                                                      num(childTotal));
        }
        return true;
    }

    void finish()
    {
        for (std::size_t i = 0; i < chain_.blocks.size(); ++i)
            if (!visited_[chain_.blocks[i]] && chain_.counts[i] > 0)
                findings_.violation(tree_.name(), "tree", "index block " + num(chain_.blocks[i]) +
                                                              " cannot be reached from the root");
        for (std::uint16_t b : data_.blocks)
            if (referenced_.count(b) == 0)
                findings_.violation(tree_.name(), "tree", "data block " + num(b) + " has no index entry");
    }

private:
    void leaf(std::uint32_t n, std::size_t i, const std::uint8_t* e, std::uint16_t child, std::uint16_t count)
    {
        const std::string where = "entry " + num(i + 1) + " of block " + num(n);
        if (child >= data_.slot.size() || data_.slot[child] < 0) {
            findings_.violation(tree_.name(), "tree", where + " points at block " + num(child) +
                                                          ", which holds no records");
            return;
        }
        if (!referenced_.insert(child).second)
            findings_.violation(tree_.name(), "tree", "data block " + num(child) + " has two index entries");
        const auto s = static_cast<std::size_t>(data_.slot[child]);
        if (std::memcmp(&data_.keys[s * data_.keyBytes], e, keyBytes_) != 0)
            findings_.violation(tree_.name(), "tree", where + " does not hold the first key of data block " +
                                                          num(child));
        if (data_.counts[s] != count)
            findings_.violation(tree_.name(), "tree", where + " counts " + num(count) + " records, data block " +
                                                          num(child) + " holds " + num(data_.counts[s]));
    }

    bool fail(const std::string& why)
    {
        findings_.violation(tree_.name(), "tree", why);
        return false;
    }

    const FamilyFile& tree_;
    const Chain& chain_;
    const BlockKeys& data_;
    std::size_t keyBytes_;
    int levels_;
    Findings& findings_;
    std::vector<bool> visited_;
    std::set<std::uint16_t> referenced_;
};

// A 64-bit digest of bytes, sixteen at a time through a 128-bit product; digests of a block's
// entries are summed, so the sum does not depend on their order.
std::uint64_t mix(std::uint64_t a, std::uint64_t b)
{
    const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
    return static_cast<std::uint64_t>(p) ^ static_cast<std::uint64_t>(p >> 64);
}

std::uint64_t load(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

std::uint64_t digest(const std::uint8_t* p, std::size_t n)
{
    constexpr std::uint64_t K0 = 0xA0761D6478BD642Full;
    constexpr std::uint64_t K1 = 0xE7037ED1A0B428DBull;
    constexpr std::uint64_t K2 = 0x8EBC6AF09C88C6E3ull;
    std::uint64_t h = K0 ^ n;
    if (n >= 16) {
        const std::uint8_t* end = p + n;
        for (; end - p > 16; p += 16)
            h = mix(load(p) ^ h ^ K1, load(p + 8) ^ K2);
        h = mix(load(end - 16) ^ h ^ K1, load(end - 8) ^ K2); // the last sixteen bytes
    } else {
        std::uint64_t w[2] = {};
        for (std::size_t i = 0; i < n; ++i)
            w[i / 8] |= std::uint64_t{p[i]} << (8 * (i % 8));
        h = mix(w[0] ^ h ^ K1, w[1] ^ K2);
    }
    return mix(h ^ K0, h ^ K1 ^ K2);
}

} // namespace

void CheckTree(const FamilyFile& tree, const BlockKeys& data, const std::vector<ParadoxField>& keyFields,
               Findings& findings)
{
    const std::string& name = tree.name();
    const ParadoxTableHeader& h = tree.header();
    const std::size_t keyBytes = FieldBytes(keyFields, keyFields.size());
    bool layout = h.fields.size() == keyFields.size();
    for (std::size_t i = 0; layout && i < keyFields.size(); ++i)
        layout = h.fields[i].type == keyFields[i].type && h.fields[i].size == keyFields[i].size;
    if (!layout) {
        findings.violation(name, "header", "its key fields are not those of the file it indexes");
        return;
    }
    const std::size_t area = h.fileVersionId >= ParadoxVersion::Level7 ? H::NameAreaBytesLevel7 : H::NameAreaBytes;
    if (h.realHeaderSize != H::CommonPartEnd + 2 * keyFields.size() + 4 + area)
        findings.violation(name, "header", "0x51 holds " + num(h.realHeaderSize) + ", not the end of its name area");
    const Chain chain = WalkChain(tree, keyBytes + ParadoxIndexEntry::TailBytes, findings);
    if (chain.records != h.numRecords)
        findings.violation(name, "tree", "its blocks hold " + num(chain.records) + " entries, the header counts " +
                                             num(h.numRecords));
    const std::uint8_t levels = tree.raw8(H::IndexLevels);
    if (levels == 0) {
        if (!data.blocks.empty())
            findings.violation(name, "tree", "an empty tree over " + num(data.blocks.size()) + " data blocks");
        return;
    }
    TreeWalk walk(tree, chain, data, keyBytes, levels, findings);
    std::vector<std::uint8_t> first;
    std::uint32_t total = 0;
    walk.descend(tree.raw16(H::IndexRoot), 1, first, total);
    walk.finish();
}

void CheckSecondaryIndex(const ParadoxFamilyFiles& files, const std::string& xName, const std::string& yName,
                         const TableFacts& table, Findings& findings)
{
    FamilyFile x;
    if (!x.open(files, xName, findings))
        return;
    const ParadoxTableHeader& t = table.db->header();
    const ParadoxTableHeader& h = x.header();
    const std::uint8_t type = x.raw8(H::FileType);
    if (!h.isSecondaryX()) {
        findings.violation(xName, "index-file", "file type " + num(type) + " is not that of an X file");
        return;
    }
    const bool keyed = t.primaryKeyFields > 0;
    const std::size_t tail = keyed ? t.primaryKeyFields + 1u : 3u;
    if (h.fields.size() <= tail) {
        findings.violation(xName, "index-file", num(h.fields.size()) + " fields leave no index field");
        return;
    }
    const std::size_t m = h.fields.size() - tail;
    bool layout = true;
    std::vector<ParadoxKeySegment> segments;
    std::vector<std::size_t> tableOffsets;
    std::size_t offset = 0;
    for (std::size_t i = 0; i < m && layout; ++i) {
        const int pos = h.fields[i].id & 0x7FFF;
        layout = pos >= 1 && pos <= static_cast<int>(t.fields.size()) &&
                 t.fields[static_cast<std::size_t>(pos - 1)].type == h.fields[i].type &&
                 t.fields[static_cast<std::size_t>(pos - 1)].size == h.fields[i].size;
        const auto len = static_cast<std::size_t>(h.fields[i].length());
        segments.push_back({offset, len, (h.flags55 & H::CaseInsensitiveFlag) != 0 && h.fields[i].type == pxAlpha,
                            (h.fields[i].id & H::DescendingFieldId) != 0, h.fields[i].type == pxAlpha});
        tableOffsets.push_back(layout ? FieldBytes(t.fields, static_cast<std::size_t>(pos - 1)) : 0);
        offset += len;
    }
    const std::vector<ParadoxKeySegment> indexSegments = segments;
    const std::size_t indexBytes = offset;
    for (std::size_t i = 0; keyed && i < t.primaryKeyFields && layout; ++i) {
        layout = h.fields[m + i].type == t.fields[i].type && h.fields[m + i].size == t.fields[i].size;
        segments.push_back({offset, static_cast<std::size_t>(h.fields[m + i].length()), false, false,
                            h.fields[m + i].type == pxAlpha});
        offset += static_cast<std::size_t>(h.fields[m + i].length());
    }
    const auto& last = h.fields.back();
    layout = layout && last.type == pxShort && (keyed || (h.fields[m].type == pxLong && h.fields[m + 1].type == pxShort));
    if (!layout) {
        findings.violation(xName, "index-file", "its fields do not match the table's index, key and bookkeeping fields");
        return;
    }
    if (h.primaryKeyFields + 1u != h.fields.size())
        findings.violation(xName, "index-file", "0x23 holds " + num(h.primaryKeyFields) + ", not " +
                                                    num(h.fields.size() - 1));
    if (h.indexFieldNumber != (h.fields[0].id & 0x7FFF))
        findings.violation(xName, "index-file", "0x15 holds " + num(h.indexFieldNumber) + ", not the first index field");
    if (x.raw8(H::IndexStamp) != H::XIndexStampValue)
        findings.deviation(xName, "stale-stamp", "0x2C holds " + num(x.raw8(H::IndexStamp)) + ", not 255");
    if (x.raw8(H::ChangeCount2) != table.db->raw8(H::ChangeCount2))
        findings.deviation(xName, "stale-stamp", "0x2E differs from the table's");
    if (keyed && table.pxStamp && x.raw8(H::PrimaryStampCopy) != *table.pxStamp)
        findings.deviation(xName, "stale-stamp", "0x2F differs from the primary index's 0x2C");

    const std::size_t recordBytes = h.recordSize;
    const Chain chain = WalkChain(x, recordBytes, findings);
    if (chain.records != h.numRecords)
        findings.violation(xName, "counts", "its blocks hold " + num(chain.records) + " entries, the header counts " +
                                                num(h.numRecords));
    const bool maintained = type == 5 || type == 8;
    if (maintained && h.numRecords != t.numRecords)
        findings.violation(xName, "index-entries", "a maintained index of " + num(h.numRecords) +
                                                       " entries on a table of " + num(t.numRecords) + " records");
    else if (!maintained && h.numRecords != 0 && h.numRecords != t.numRecords) // empty: not built yet
        findings.deviation(xName, "stale-index", "a non-maintained index of " + num(h.numRecords) +
                                                     " entries on a table of " + num(t.numRecords) + " records");

    const ParadoxKeyOrder order(segments, *table.collation);
    const ParadoxKeyOrder unique(indexSegments, *table.collation);
    const std::size_t keyBytes = recordBytes - 2;
    const std::size_t tableKeyBytes = FieldBytes(t.fields, t.primaryKeyFields);
    BlockKeys leaves;
    leaves.keyBytes = keyBytes;
    // Per table block: the entries naming it, as a sum of digests of their key and index
    // values, against the same sum over the records it holds.
    std::vector<std::uint64_t> named(table.chain->position.size(), 0);
    std::vector<std::uint32_t> namedCount(table.chain->position.size(), 0);
    const bool pointers = keyed && maintained;
    const bool refold = !table.collation->established();
    std::vector<std::uint8_t> entryValues;
    std::vector<std::uint8_t> previous; // the last entry of the block before
    std::uint64_t entry = 0;
    for (std::size_t k = 0; k < chain.blocks.size(); ++k) {
        const std::uint8_t* b = x.view(chain.blocks[k]);
        for (std::size_t i = 0; i < chain.counts[k]; ++i) {
            const std::uint8_t* r = &b[ParadoxBlock::HeaderBytes + i * recordBytes];
            ++entry;
            if (i == 0)
                leaves.add(chain.blocks[k], r, chain.counts[k]);
            const std::uint8_t* before = i > 0 ? r - recordBytes : previous.empty() ? nullptr : previous.data();
            if (before) {
                const int d = order.compare(before, r);
                if (d == 0 || (d > 0 && order.established(before, r)))
                    findings.violation(xName, "index-order", "entry " + num(entry) + " is out of order");
                else if ((h.flags55 & H::UniqueFlag) && unique.compare(before, r) == 0)
                    findings.violation(xName, "index-unique", "entry " + num(entry) + " repeats a unique value");
            }
            if (!pointers)
                continue;
            const std::uint16_t blk = ParadoxShortUnsigned(r + keyBytes);
            if (blk >= named.size() || table.chain->position[blk] < 0) {
                findings.violation(xName, "index-entries", "entry " + num(entry) + " points at block " + num(blk) +
                                                               ", which is not in the table's chain");
                continue;
            }
            if (refold) { // the engine's capitals are not known for this driver: compared in ours
                entryValues.assign(r, r + offset);
                for (const auto& seg : indexSegments)
                    if (seg.fold)
                        table.collation->fold(&entryValues[seg.offset], seg.length);
                r = entryValues.data();
            }
            named[blk] += digest(r, offset); // the index values, then the table's key
            ++namedCount[blk];
        }
        if (chain.counts[k] > 0)
            previous.assign(&b[ParadoxBlock::HeaderBytes + (chain.counts[k] - 1u) * recordBytes],
                            &b[ParadoxBlock::HeaderBytes + chain.counts[k] * recordBytes]);
    }
    if (pointers) {
        std::vector<std::uint8_t> values(offset); // as an entry holds them: index values, the key
        for (std::size_t k = 0; k < table.chain->blocks.size(); ++k) {
            const std::uint16_t blk = table.chain->blocks[k];
            const std::uint8_t* b = table.db->view(blk);
            std::uint64_t held = 0;
            for (std::size_t i = 0; i < table.chain->counts[k]; ++i) {
                const std::uint8_t* rec = &b[ParadoxBlock::HeaderBytes + i * t.recordSize];
                for (std::size_t f = 0; f < m; ++f) {
                    std::copy_n(rec + tableOffsets[f], indexSegments[f].length, &values[indexSegments[f].offset]);
                    if (indexSegments[f].fold) // a case-insensitive entry holds the value in capitals
                        table.collation->fold(&values[indexSegments[f].offset], indexSegments[f].length);
                }
                std::copy_n(rec, tableKeyBytes, &values[indexBytes]);
                held += digest(values.data(), offset);
            }
            if (held != named[blk] || namedCount[blk] != table.chain->counts[k])
                findings.violation(xName, "index-entries", num(namedCount[blk]) + " entries name table block " +
                                                               num(blk) + ", which holds " +
                                                               num(table.chain->counts[k]) + " records" +
                                                               (namedCount[blk] == table.chain->counts[k]
                                                                    ? " with other key or index values"
                                                                    : ""));
        }
    }

    FamilyFile y;
    if (!y.open(files, yName, findings))
        return;
    const std::uint8_t yType = y.raw8(H::FileType);
    if (yType != (type == 3 || type == 5 ? 4 : 7))
        findings.violation(yName, "index-file", "file type " + num(yType) + " does not go with its X file");
    if (y.raw8(H::IndexStamp) != x.raw8(H::ChangeCount1))
        findings.deviation(yName, "stale-stamp", "0x2C differs from its X file's 0x2D");
    CheckTree(y, leaves, withoutLast(h.fields), findings);
}

} // namespace morvane::checker
