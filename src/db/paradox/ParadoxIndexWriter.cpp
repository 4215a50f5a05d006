#include "db/paradox/ParadoxIndexWriter.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxBlockWriter.h"
#include "db/paradox/ParadoxLayout.h"

#include <cstring>

namespace morvane {

namespace {


// One level of the tree: entries, grouped fill per block.
struct Level
{
    std::vector<std::uint8_t> keys;
    std::vector<std::uint32_t> children; // data block number (level 0) or block index below
    std::vector<std::uint32_t> counts;
    std::size_t size() const { return children.size(); }
};

} // namespace

void ParadoxTreeLeaves::add(const std::uint8_t* key, std::uint16_t block, std::uint32_t count)
{
    keys_.insert(keys_.end(), key, key + keyBytes_);
    blocks_.push_back(block);
    counts_.push_back(count);
}

std::size_t ParadoxTreeFill(std::size_t keyBytes, std::size_t blockBytes)
{
    const std::size_t capacity = (blockBytes - ParadoxBlock::HeaderBytes) / (keyBytes + ParadoxIndexEntry::TailBytes);
    return capacity < 3 ? 0 : capacity - 1;
}

ParadoxTreeShape ParadoxWriteTree(ParadoxOutputFile& file, std::uint64_t headerSize, std::size_t blockBytes,
                                  const ParadoxTreeLeaves& leaves)
{
    ParadoxTreeShape shape;
    if (leaves.size() == 0)
        return shape;
    const std::size_t keyBytes = leaves.keyBytes();
    const std::size_t entryBytes = keyBytes + ParadoxIndexEntry::TailBytes;
    const std::size_t fill = ParadoxTreeFill(keyBytes, blockBytes);
    if (fill == 0)
        throw EvxEngineError(vxErrTableFull, file.path() + ": index entries of " + std::to_string(entryBytes) +
                                                 " bytes do not fit blocks of " + std::to_string(blockBytes));

    std::vector<Level> levels(1);
    Level& leaf = levels[0];
    leaf.keys.assign(leaves.key(0), leaves.key(0) + leaves.size() * keyBytes);
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        leaf.children.push_back(leaves.block(i));
        leaf.counts.push_back(leaves.count(i));
    }
    const auto blocksOf = [fill](const Level& l) { return (l.size() + fill - 1) / fill; };
    while (blocksOf(levels.back()) > 1) {
        const Level& below = levels.back();
        Level up;
        for (std::size_t b = 0; b * fill < below.size(); ++b) {
            const std::size_t from = b * fill;
            const std::size_t to = std::min(below.size(), from + fill);
            up.keys.insert(up.keys.end(), below.keys.begin() + static_cast<std::ptrdiff_t>(from * keyBytes),
                           below.keys.begin() + static_cast<std::ptrdiff_t>((from + 1) * keyBytes));
            std::uint32_t sum = 0;
            for (std::size_t i = from; i < to; ++i)
                sum += below.counts[i];
            up.children.push_back(static_cast<std::uint32_t>(b));
            up.counts.push_back(sum);
        }
        levels.push_back(std::move(up));
    }

    // Block numbers: the root is 1, each level below follows the one above.
    std::vector<std::size_t> base(levels.size());
    std::size_t next = 1;
    std::size_t entries = 0;
    for (std::size_t l = levels.size(); l-- > 0;) {
        base[l] = next;
        next += blocksOf(levels[l]);
        entries += levels[l].size();
    }
    const std::size_t total = next - 1;
    if (total > 0xFFFF)
        throw EvxEngineError(vxErrTableFull, file.path() + ": the index needs more than 65535 blocks");

    std::vector<std::uint8_t> out;
    std::uint64_t written = 0;
    std::size_t number = 0;
    for (std::size_t l = levels.size(); l-- > 0;) {
        const Level& level = levels[l];
        for (std::size_t from = 0; from < level.size(); from += fill) {
            ++number;
            const std::size_t n = std::min(fill, level.size() - from);
            std::vector<std::uint8_t> block(blockBytes, 0);
            ParadoxPutLe16(&block[ParadoxBlock::Next], number == total ? 0 : static_cast<std::uint16_t>(number + 1));
            ParadoxPutLe16(&block[ParadoxBlock::Previous], static_cast<std::uint16_t>(number - 1));
            ParadoxPutLe16(&block[ParadoxBlock::AddDataSize], static_cast<std::uint16_t>((n - 1) * entryBytes));
            for (std::size_t i = 0; i < n; ++i) {
                std::uint8_t* e = &block[ParadoxBlock::HeaderBytes + i * entryBytes];
                std::memcpy(e, &level.keys[(from + i) * keyBytes], keyBytes);
                const std::uint32_t child = l == 0 ? level.children[from + i] : base[l - 1] + level.children[from + i];
                std::uint8_t* words = e + keyBytes;
                ParadoxPutShortUnsigned(words + ParadoxIndexEntry::Child, static_cast<std::uint16_t>(child));
                ParadoxPutShortUnsigned(words + ParadoxIndexEntry::Count,
                                        static_cast<std::uint16_t>(level.counts[from + i]));
                ParadoxPutShortUnsigned(words + ParadoxIndexEntry::Zero, 0);
            }
            out.insert(out.end(), block.begin(), block.end());
            if (out.size() >= 64 * blockBytes) {
                file.writeAt(out.data(), out.size(), headerSize + written);
                written += out.size();
                out.clear();
            }
        }
    }
    if (!out.empty())
        file.writeAt(out.data(), out.size(), headerSize + written);

    shape.counts.records = static_cast<std::uint32_t>(entries);
    shape.counts.blocks = static_cast<std::uint16_t>(total);
    shape.counts.first = 1;
    shape.counts.last = static_cast<std::uint16_t>(total);
    shape.root = 1;
    shape.levels = static_cast<std::uint8_t>(levels.size());
    return shape;
}

} // namespace morvane
