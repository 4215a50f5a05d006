#pragma once
// The .MB file of a table: reads the blob a record's blob slot points at, from a single-blob
// block or a slot of a sub-allocated block, decrypting a protected table's file with its key.
// Every offset, slot and length is checked against the block and the file before anything
// is read or allocated; a fault throws EvxEngineError(vxErrInvalidFile) naming the .MB file,
// the blob (the caller's text) and the fault.

#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxCrypt.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

class ParadoxBlobFile
{
public:
    // key: the table's key when its files are encrypted, else 0.
    ParadoxBlobFile(std::unique_ptr<ParadoxByteSource> mb, std::uint32_t key);

    const std::string& Name() const { return mb_->Name(); }

    // pointer, length: the first two words of the record's 10-byte blob tail (the block offset
    // with the slot in its low byte; the blob's length). framed: Graphic and OLE blobs, which
    // the file holds behind an 8-byte frame that length counts; out gets what follows it.
    // blob: names the blob in messages ("record 3, field 2 (Photo)").
    void Read(std::uint32_t pointer, std::uint32_t length, bool framed, std::string& out, std::string_view blob);

private:
    // The file's bytes [offset, offset + count) into buffer_ (decrypted), count within the file.
    const std::uint8_t* load(std::uint64_t offset, std::size_t count, std::string_view blob);
    // The blob of a single-blob block of an unencrypted file, read straight into out (never
    // held twice), its length checked against the file's size first.
    void readSingle(std::uint64_t blockAt, std::uint32_t length, bool framed, std::string& out, std::string_view blob);
    void checkFrame(const std::uint8_t* frame, std::uint32_t length, std::string_view blob) const;
    [[noreturn]] void fail(std::string_view blob, const std::string& what) const;

    std::unique_ptr<ParadoxByteSource> mb_;
    std::optional<ParadoxCipher> cipher_;
    std::vector<std::uint8_t> buffer_;
};

} // namespace morvane
