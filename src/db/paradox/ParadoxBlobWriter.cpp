#include "db/paradox/ParadoxBlobWriter.h"

#include "db/paradox/ParadoxLayout.h"

#include <cstring>

namespace morvane {

namespace {

namespace Mb = ParadoxMbLayout;
namespace Tail = ParadoxBlobTail;

// What a fresh engine-written .MB holds in its header block (the rest is zero): one chunk,
// modification count 1, base and sub-block sizes 4 KiB, sub-chunks of 16 bytes, 64 slots,
// sub-allocation below 2 KiB.
constexpr std::uint8_t HeaderBytes[] = {0x00, 0x01, 0x00, 0x01, 0x00, 0x82, 0x73, 0x02, 0x00, 0x29, 0x00,
                                        0x00, 0x10, 0x00, 0x10, 0x00, 0x10, 0x40, 0x00, 0x00, 0x08};
constexpr std::size_t FirstDataUnit = Mb::FirstSlotData / Mb::SlotDataUnit;
constexpr std::size_t UnitsPerBlock = Mb::ChunkBytes / Mb::SlotDataUnit;
constexpr std::uint16_t ModNumber = 1;
constexpr std::uint64_t MaxChunks = 0xFFFF;

bool framed(std::uint8_t type)
{
    return type == pxGraphic || type == pxOle;
}

} // namespace

ParadoxBlobWriter::ParadoxBlobWriter(ParadoxWriterFiles& files, std::string path, std::optional<ParadoxCipher> cipher)
    : file_(files, std::move(path)), cipher_(std::move(cipher))
{
    std::vector<std::uint8_t> header(Mb::ChunkBytes, 0);
    std::memcpy(header.data(), HeaderBytes, sizeof HeaderBytes);
    ParadoxPutLe16(&header[Mb::HeaderVersion], Mb::HeaderVersionValue);
    writeBlock(header, 0);
    end_ = Mb::ChunkBytes;
}

void ParadoxBlobWriter::writeBlock(std::vector<std::uint8_t>& block, std::uint64_t offset)
{
    if (cipher_)
        cipher_->EncryptMb(block.data(), block.size());
    file_.writeAt(block.data(), block.size(), offset);
}

bool ParadoxBlobWriter::store(const ParadoxField& field, std::string_view bytes, std::uint8_t* slot, std::string& why)
{
    const std::size_t leader = static_cast<std::size_t>(field.length()) - Tail::Bytes;
    std::memset(slot, 0, static_cast<std::size_t>(field.length()));
    if (bytes.empty())
        return true;
    std::memcpy(slot, bytes.data(), std::min(leader, bytes.size()));
    std::uint8_t* tail = slot + leader;
    const bool frame = framed(field.type);
    const std::uint64_t length = bytes.size() + (frame ? Mb::GraphicPrefixBytes : 0);
    if (length > 0xFFFFFFFFull || (length + Mb::SingleDataAt + Mb::ChunkBytes - 1) / Mb::ChunkBytes > MaxChunks) {
        why = "a blob of " + std::to_string(bytes.size()) + " bytes is larger than a blob file can hold";
        return false;
    }
    ParadoxPutLe32(tail + Tail::Length, static_cast<std::uint32_t>(length));
    if (!frame && bytes.size() <= leader)
        return true; // all in the record

    ParadoxPutLe16(tail + Tail::ModNumber, ModNumber);
    std::vector<std::uint8_t> stored;
    stored.reserve(static_cast<std::size_t>(length));
    if (frame) {
        // The frame: a kind word (1 picture, 2 OLE in its last byte), the length after it.
        const std::uint8_t kind[Mb::FrameLength] = {1, 0, 0, field.type == pxGraphic ? Mb::FramePicture : Mb::FrameOle};
        std::uint8_t inner[4];
        ParadoxPutLe32(inner, static_cast<std::uint32_t>(bytes.size()));
        stored.insert(stored.end(), kind, kind + 4);
        stored.insert(stored.end(), inner, inner + 4);
    }
    stored.insert(stored.end(), bytes.begin(), bytes.end());
    ++stored_;

    if (stored.size() < Mb::SuballocateBelow) {
        const std::size_t units = (stored.size() + Mb::SlotDataUnit - 1) / Mb::SlotDataUnit;
        if (!sub_.empty() && (subSlots_ == Mb::SlotCount || subUnit_ + units > UnitsPerBlock))
            flushSuballocated();
        if (sub_.empty()) {
            sub_.assign(Mb::ChunkBytes, 0);
            sub_[Mb::BlockType] = Mb::TypeSuballocated;
            ParadoxPutLe16(&sub_[Mb::BlockChunks], 1);
            subOffset_ = end_;
            end_ += Mb::ChunkBytes;
            subSlots_ = 0;
            subUnit_ = FirstDataUnit;
        }
        std::uint8_t* entry = &sub_[Mb::SlotTableAt + subSlots_ * Mb::SlotBytes];
        entry[Mb::SlotDataOffset] = static_cast<std::uint8_t>(subUnit_);
        entry[Mb::SlotLengthDiv16] = static_cast<std::uint8_t>(units);
        ParadoxPutLe16(entry + Mb::SlotModNumber, ModNumber);
        entry[Mb::SlotLengthMod16] = static_cast<std::uint8_t>(stored.size() - (units - 1) * Mb::SlotDataUnit);
        std::memcpy(&sub_[subUnit_ * Mb::SlotDataUnit], stored.data(), stored.size());
        ParadoxPutLe32(tail + Tail::Offset, static_cast<std::uint32_t>(subOffset_ | subSlots_));
        ++subSlots_;
        subUnit_ += units;
        return true;
    }

    const std::uint64_t chunks = (stored.size() + Mb::SingleDataAt + Mb::ChunkBytes - 1) / Mb::ChunkBytes;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(chunks * Mb::ChunkBytes), 0);
    block[Mb::BlockType] = Mb::TypeSingle;
    ParadoxPutLe16(&block[Mb::BlockChunks], static_cast<std::uint16_t>(chunks));
    ParadoxPutLe32(&block[Mb::SingleLength], static_cast<std::uint32_t>(stored.size()));
    ParadoxPutLe16(&block[Mb::SingleModNumber], ModNumber);
    std::memcpy(&block[Mb::SingleDataAt], stored.data(), stored.size());
    const std::uint64_t offset = end_;
    if (offset > 0xFFFFFF00ull) {
        why = "the blob file would grow past 4 GiB";
        return false;
    }
    end_ += block.size();
    writeBlock(block, offset);
    ParadoxPutLe32(tail + Tail::Offset, static_cast<std::uint32_t>(offset | Tail::SingleBlobSlot));
    return true;
}

void ParadoxBlobWriter::flushSuballocated()
{
    if (sub_.empty())
        return;
    writeBlock(sub_, subOffset_);
    sub_.clear();
}

void ParadoxBlobWriter::finish()
{
    flushSuballocated();
    file_.finish(true);
}

} // namespace morvane
