#pragma once
// Writes fixed-size records into the data blocks of a table or X file: blocks 1, 2, ... in
// chain order, each packed to `perBlock` records and zero-padded, encrypted with the table's
// key when there is one. Reports every finished block (number, first record, record count)
// so that index leaves can be built. Throws EvxEngineError from the file calls, and
// vxErrTableFull when the records need more than 65535 blocks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "db/paradox/ParadoxCrypt.h"
#include "db/paradox/ParadoxWriterFiles.h"
#include "db/paradox/ParadoxWriterHeaders.h"

namespace morvane {

inline constexpr int vxErrTableFull = 13313; // more records than the file's blocks can hold

class ParadoxBlockWriter
{
public:
    using BlockDone = std::function<void(std::uint16_t block, const std::uint8_t* first, std::uint16_t count)>;

    ParadoxBlockWriter(ParadoxOutputFile& file, std::uint64_t headerSize, std::size_t blockBytes,
                       std::size_t recordBytes, std::size_t perBlock, std::optional<ParadoxCipher> cipher,
                       BlockDone done = {});

    void add(const std::uint8_t* record);
    // Number of the block that holds the record added last.
    std::uint16_t currentBlock() const { return current_; }
    ParadoxBlockCounts finish();

private:
    void closeBlock(bool more);
    void flush();

    ParadoxOutputFile& file_;
    std::uint64_t headerSize_;
    std::size_t blockBytes_;
    std::size_t recordBytes_;
    std::size_t perBlock_;
    std::optional<ParadoxCipher> cipher_;
    BlockDone done_;
    // Blocks not yet written, from block pendingFirst_, the last the one being filled (when
    // inBlock_ > 0).
    std::vector<std::uint8_t> pending_;
    std::uint16_t pendingFirst_ = 1;
    std::size_t inBlock_ = 0;
    std::uint16_t current_ = 0;
    std::uint32_t records_ = 0;
};

// Short encoding of an unsigned 16-bit number (block numbers, entry counts): big-endian with
// the top bit inverted.
inline void ParadoxPutShortUnsigned(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>((v >> 8) ^ 0x80);
    p[1] = static_cast<std::uint8_t>(v);
}
inline std::uint16_t ParadoxShortUnsigned(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(((p[0] ^ 0x80) << 8) | p[1]);
}

} // namespace morvane
