#include "db/paradox/ParadoxBlobFile.h"

#include "db/EvxEngineError.h"
#include "db/paradox/ParadoxLayout.h"

#include <algorithm>

namespace morvane {

namespace {

namespace Mb = ParadoxMbLayout;

constexpr std::size_t CryptChunk = 256;
constexpr std::size_t FrameBytes = Mb::GraphicPrefixBytes;
constexpr std::size_t FrameLengthAt = 4; // u32 in the frame: the length of what follows it
constexpr std::size_t FirstSlotData = Mb::SlotTableAt + Mb::SlotBytes * Mb::SlotCount;

} // namespace

ParadoxBlobFile::ParadoxBlobFile(std::unique_ptr<ParadoxByteSource> mb, std::uint32_t key) : mb_(std::move(mb))
{
    if (key != 0)
        cipher_.emplace(key);
}

void ParadoxBlobFile::fail(std::string_view blob, const std::string& what) const
{
    throw EvxEngineError(vxErrInvalidFile, mb_->Name() + ": " + std::string(blob) + ": " + what);
}

const std::uint8_t* ParadoxBlobFile::load(std::uint64_t offset, std::size_t count, std::string_view blob)
{
    const std::uint64_t size = mb_->Size();
    if (offset > size || count > size - offset)
        fail(blob, "the blob at offset " + std::to_string(offset) + " (" + std::to_string(count) +
                       " bytes) lies past the end of the file (" + std::to_string(size) + " bytes)");
    // Encrypted files decrypt in whole chunks from a chunk boundary; block offsets are on one.
    std::size_t wanted = count;
    if (cipher_)
        wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>((count + CryptChunk - 1) / CryptChunk * CryptChunk, size - offset));
    buffer_.resize(wanted);
    const std::size_t got = mb_->ReadAt(offset, buffer_.data(), wanted);
    if (got < count)
        fail(blob, "the file ends while the blob at offset " + std::to_string(offset) + " is read");
    if (cipher_) {
        if (got % CryptChunk != 0 && got - got % CryptChunk < count)
            fail(blob, "the file ends inside an encrypted chunk of the blob at offset " + std::to_string(offset));
        cipher_->DecryptMb(buffer_.data(), got);
    }
    return buffer_.data();
}

void ParadoxBlobFile::Read(std::uint32_t pointer, std::uint32_t length, bool framed, std::string& out,
                           std::string_view blob)
{
    const std::uint64_t blockAt = pointer & ~ParadoxBlobTail::SlotMask;
    const std::uint32_t slot = pointer & ParadoxBlobTail::SlotMask;
    if (blockAt < Mb::ChunkBytes || blockAt % Mb::ChunkBytes != 0)
        fail(blob, "the blob pointer " + std::to_string(blockAt) + " does not point at a blob block");
    if (framed && length < FrameBytes)
        fail(blob, "a picture or OLE blob of " + std::to_string(length) + " bytes is shorter than its frame");

    // The block header first: its type and size, and for a single blob its length.
    const std::uint8_t* head = load(blockAt, Mb::SingleDataAt, blob);
    const std::uint8_t type = head[Mb::BlockType];
    const std::uint64_t blockBytes = std::uint64_t{ParadoxLe16(head + Mb::BlockChunks)} * Mb::ChunkBytes;
    const std::uint8_t* stored = nullptr;

    if (type == Mb::TypeSingle) {
        if (slot != ParadoxBlobTail::SingleBlobSlot)
            fail(blob, "the pointer names slot " + std::to_string(slot) + " of a single-blob block");
        const std::uint32_t blockLength = ParadoxLe32(head + Mb::SingleLength);
        if (blockLength != length)
            fail(blob, "the record gives " + std::to_string(length) + " bytes, the block at offset " +
                           std::to_string(blockAt) + " holds " + std::to_string(blockLength));
        if (Mb::SingleDataAt + std::uint64_t{length} > blockBytes)
            fail(blob, "a blob of " + std::to_string(length) + " bytes does not fit its block of " +
                           std::to_string(blockBytes) + " bytes at offset " + std::to_string(blockAt));
        if (!cipher_) {
            readSingle(blockAt, length, framed, out, blob);
            return;
        }
        stored = load(blockAt, Mb::SingleDataAt + std::size_t{length}, blob) + Mb::SingleDataAt;
    } else if (type == Mb::TypeSuballocated) {
        if (slot >= Mb::SlotCount)
            fail(blob, "the pointer names slot " + std::to_string(slot) + " of a block of " +
                           std::to_string(Mb::SlotCount) + " slots");
        const std::uint8_t* block = load(blockAt, Mb::ChunkBytes, blob);
        const std::uint8_t* entry = block + Mb::SlotTableAt + Mb::SlotBytes * slot;
        const std::size_t dataAt = std::size_t{entry[Mb::SlotDataOffset]} * Mb::SlotDataUnit;
        const std::size_t units = entry[Mb::SlotLengthDiv16];
        const std::size_t rest = entry[Mb::SlotLengthMod16];
        if (dataAt == 0 || units == 0 || rest == 0 || rest > Mb::SlotDataUnit)
            fail(blob, "slot " + std::to_string(slot) + " of the block at offset " + std::to_string(blockAt) +
                           " holds no blob");
        const std::size_t slotLength = (units - 1) * Mb::SlotDataUnit + rest;
        if (slotLength != length)
            fail(blob, "the record gives " + std::to_string(length) + " bytes, slot " + std::to_string(slot) +
                           " of the block at offset " + std::to_string(blockAt) + " holds " +
                           std::to_string(slotLength));
        if (dataAt < FirstSlotData || dataAt + slotLength > Mb::ChunkBytes)
            fail(blob, "slot " + std::to_string(slot) + " of the block at offset " + std::to_string(blockAt) +
                           " points outside its block");
        stored = block + dataAt;
    } else {
        const char* kind = type == Mb::TypeHeader ? "the header block"
                           : type == Mb::TypeFree ? "a free block"
                                                  : "a block of unknown type";
        fail(blob, "the blob pointer " + std::to_string(blockAt) + " points at " + kind + " (type " +
                       std::to_string(type) + ")");
    }

    if (framed) {
        checkFrame(stored, length, blob);
        out.assign(reinterpret_cast<const char*>(stored + FrameBytes), length - FrameBytes);
    } else {
        out.assign(reinterpret_cast<const char*>(stored), length);
    }
}

void ParadoxBlobFile::checkFrame(const std::uint8_t* frame, std::uint32_t length, std::string_view blob) const
{
    const std::uint32_t inner = ParadoxLe32(frame + FrameLengthAt);
    if (inner != length - FrameBytes)
        fail(blob, "the frame of the picture or OLE blob gives " + std::to_string(inner) + " bytes where " +
                       std::to_string(length - FrameBytes) + " follow it");
}

void ParadoxBlobFile::readSingle(std::uint64_t blockAt, std::uint32_t length, bool framed, std::string& out,
                                 std::string_view blob)
{
    const std::uint64_t size = mb_->Size();
    const std::uint64_t count = Mb::SingleDataAt + std::uint64_t{length};
    if (blockAt > size || count > size - blockAt)
        fail(blob, "the blob at offset " + std::to_string(blockAt) + " (" + std::to_string(count) +
                       " bytes) lies past the end of the file (" + std::to_string(size) + " bytes)");
    std::uint64_t from = blockAt + Mb::SingleDataAt;
    if (framed) {
        checkFrame(load(from, FrameBytes, blob), length, blob);
        from += FrameBytes;
    }
    const std::size_t bytes = static_cast<std::size_t>(blockAt + count - from);
    out.resize(bytes);
    if (mb_->ReadAt(from, reinterpret_cast<std::uint8_t*>(out.data()), bytes) < bytes)
        fail(blob, "the file ends while the blob at offset " + std::to_string(blockAt) + " is read");
}

} // namespace morvane
