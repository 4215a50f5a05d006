#include "db/paradox/ParadoxBlockWriter.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxLayout.h"

#include <cstring>

namespace morvane {

namespace {

constexpr std::size_t BlocksPerWrite = 64;
constexpr std::uint32_t MaxBlocks = 0xFFFF;

} // namespace

ParadoxBlockWriter::ParadoxBlockWriter(ParadoxOutputFile& file, std::uint64_t headerSize, std::size_t blockBytes,
                                       std::size_t recordBytes, std::size_t perBlock,
                                       std::optional<ParadoxCipher> cipher, BlockDone done)
    : file_(file), headerSize_(headerSize), blockBytes_(blockBytes), recordBytes_(recordBytes), perBlock_(perBlock),
      cipher_(std::move(cipher)), done_(std::move(done))
{
    pending_.reserve(BlocksPerWrite * blockBytes_);
}

void ParadoxBlockWriter::add(const std::uint8_t* record)
{
    if (inBlock_ == perBlock_)
        closeBlock(true);
    if (inBlock_ == 0) {
        if (current_ == MaxBlocks)
            throw EvxEngineError(vxErrTableFull, file_.path() + ": the records need more than 65535 blocks of " +
                                                     std::to_string(blockBytes_) + " bytes");
        ++current_;
        pending_.resize(pending_.size() + blockBytes_, 0); // the block is filled where it is written from
    }
    std::uint8_t* block = pending_.data() + pending_.size() - blockBytes_;
    std::memcpy(block + ParadoxBlock::HeaderBytes + inBlock_ * recordBytes_, record, recordBytes_);
    ++inBlock_;
    ++records_;
}

void ParadoxBlockWriter::closeBlock(bool more)
{
    std::uint8_t* b = pending_.data() + pending_.size() - blockBytes_;
    ParadoxPutLe16(b + ParadoxBlock::Next, more ? static_cast<std::uint16_t>(current_ + 1) : 0);
    ParadoxPutLe16(b + ParadoxBlock::Previous, static_cast<std::uint16_t>(current_ - 1));
    ParadoxPutLe16(b + ParadoxBlock::AddDataSize, static_cast<std::uint16_t>((inBlock_ - 1) * recordBytes_));
    if (done_)
        done_(current_, b + ParadoxBlock::HeaderBytes, static_cast<std::uint16_t>(inBlock_));
    if (cipher_)
        cipher_->EncryptDbBlock(b, blockBytes_, current_);
    inBlock_ = 0;
    if (pending_.size() >= BlocksPerWrite * blockBytes_)
        flush();
}

void ParadoxBlockWriter::flush()
{
    if (pending_.empty())
        return;
    file_.writeAt(pending_.data(), pending_.size(), headerSize_ + (pendingFirst_ - 1ull) * blockBytes_);
    pendingFirst_ = static_cast<std::uint16_t>(pendingFirst_ + pending_.size() / blockBytes_);
    pending_.clear();
}

ParadoxBlockCounts ParadoxBlockWriter::finish()
{
    if (inBlock_ > 0)
        closeBlock(false);
    flush();
    ParadoxBlockCounts c;
    c.records = records_;
    c.blocks = current_;
    c.first = current_ > 0 ? 1 : 0;
    c.last = current_;
    return c;
}

} // namespace morvane
