#include "db/paradox/ParadoxBlobWriter.h"

#include "db/paradox/ParadoxLayout.h"

#include <algorithm>
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
// A block of its own is written in pieces of this size (whole 256-byte cipher chunks).
constexpr std::size_t PieceBytes = std::size_t{64} << 10;

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

bool ParadoxBlobWriter::store(const ParadoxField& field, std::string_view bytes, std::uint64_t storageId,
                              std::uint8_t* slot, std::string& why)
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
    // The frame: a kind word (1 picture, 2 OLE in its last byte), the length after it.
    std::uint8_t frameBytes[Mb::GraphicPrefixBytes] = {1, 0, 0, field.type == pxGraphic ? Mb::FramePicture : Mb::FrameOle};
    ParadoxPutLe32(frameBytes + Mb::FrameLength, static_cast<std::uint32_t>(bytes.size()));
    const std::string_view frameView(reinterpret_cast<const char*>(frameBytes), frame ? sizeof frameBytes : 0);

    if (length >= Mb::SuballocateBelow) {
        const auto known = storageId != 0 ? placed_.find(storageId) : placed_.end();
        if (known != placed_.end() && known->second.length == length) {
            ParadoxPutLe32(tail + Tail::Offset, known->second.pointer);
            ++shared_;
            return true;
        }
        if (!writeSingle(frameView, bytes, tail, why))
            return false;
        if (storageId != 0)
            placed_[storageId] = {ParadoxLe32(tail + Tail::Offset), static_cast<std::uint32_t>(length)};
        return true;
    }

    ++stored_;
    const std::size_t units = (length + Mb::SlotDataUnit - 1) / Mb::SlotDataUnit;
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
    entry[Mb::SlotLengthMod16] = static_cast<std::uint8_t>(length - (units - 1) * Mb::SlotDataUnit);
    std::uint8_t* data = &sub_[subUnit_ * Mb::SlotDataUnit];
    std::memcpy(data, frameView.data(), frameView.size());
    std::memcpy(data + frameView.size(), bytes.data(), bytes.size());
    ParadoxPutLe32(tail + Tail::Offset, static_cast<std::uint32_t>(subOffset_ | subSlots_));
    ++subSlots_;
    subUnit_ += units;
    return true;
}

bool ParadoxBlobWriter::writeSingle(std::string_view frame, std::string_view bytes, std::uint8_t* tail,
                                    std::string& why)
{
    const std::uint64_t length = frame.size() + bytes.size();
    const std::uint64_t blockBytes = (length + Mb::SingleDataAt + Mb::ChunkBytes - 1) / Mb::ChunkBytes * Mb::ChunkBytes;
    const std::uint64_t offset = end_;
    if (offset > 0xFFFFFF00ull) {
        why = "the blob file would grow past 4 GiB";
        return false;
    }
    ++stored_;
    end_ += blockBytes;
    std::vector<std::uint8_t> piece(Mb::SingleDataAt, 0);
    piece.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, PieceBytes + Mb::ChunkBytes)));
    piece[Mb::BlockType] = Mb::TypeSingle;
    ParadoxPutLe16(&piece[Mb::BlockChunks], static_cast<std::uint16_t>(blockBytes / Mb::ChunkBytes));
    ParadoxPutLe32(&piece[Mb::SingleLength], static_cast<std::uint32_t>(length));
    ParadoxPutLe16(&piece[Mb::SingleModNumber], ModNumber);
    piece.insert(piece.end(), frame.begin(), frame.end());
    std::uint64_t at = offset;
    std::size_t from = 0;
    for (;;) {
        const std::size_t take = std::min(bytes.size() - from, PieceBytes - std::min(PieceBytes, piece.size()));
        piece.insert(piece.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
                     bytes.begin() + static_cast<std::ptrdiff_t>(from + take));
        from += take;
        if (from == bytes.size()) {
            piece.resize(static_cast<std::size_t>(offset + blockBytes - at), 0);
            writeBlock(piece, at);
            break;
        }
        writeBlock(piece, at);
        at += piece.size();
        piece.clear();
    }
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
