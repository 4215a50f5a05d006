#pragma once
// The B-tree of a .PX or .Y* file, built bottom-up from its leaf entries (one per data block
// of the table or X file it indexes: the block's first key, its number and record count).
// Index blocks hold one entry fewer than they could, as the engine leaves them; upper levels
// hold one entry per block below (its first key, its number, the sum of its counts). The
// root comes first in the chain, then each level below in order, so readers that expect the
// upper level in the first block find it. Counts above 65535 are kept modulo 65536 (what
// the engine does with them is not known).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "db/paradox/ParadoxWriterFiles.h"
#include "db/paradox/ParadoxWriterHeaders.h"

namespace morvane {

class ParadoxTreeLeaves
{
public:
    explicit ParadoxTreeLeaves(std::size_t keyBytes) : keyBytes_(keyBytes) {}
    void add(const std::uint8_t* key, std::uint16_t block, std::uint32_t count);
    std::size_t size() const { return blocks_.size(); }
    std::size_t keyBytes() const { return keyBytes_; }
    const std::uint8_t* key(std::size_t i) const { return keys_.data() + i * keyBytes_; }
    std::uint16_t block(std::size_t i) const { return blocks_[i]; }
    std::uint32_t count(std::size_t i) const { return counts_[i]; }

private:
    std::size_t keyBytes_;
    std::vector<std::uint8_t> keys_;
    std::vector<std::uint16_t> blocks_;
    std::vector<std::uint32_t> counts_;
};

struct ParadoxTreeShape
{
    ParadoxBlockCounts counts; // records: entries in all blocks
    std::uint16_t root = 1;
    std::uint8_t levels = 0;
};

// Entries per index block for keys of keyBytes in blocks of blockBytes (capacity less one,
// at least two); 0 when even two do not fit.
std::size_t ParadoxTreeFill(std::size_t keyBytes, std::size_t blockBytes);

// Writes the tree's blocks after a header of headerSize bytes.
ParadoxTreeShape ParadoxWriteTree(ParadoxOutputFile& file, std::uint64_t headerSize, std::size_t blockBytes,
                                  const ParadoxTreeLeaves& leaves);

} // namespace morvane
