#pragma once
// The .MB file of a table and the blob slots of its records. A blob that fits the field's
// leader stays in the record; a longer one goes to the .MB: below 2 KiB into a sub-allocated
// block (up to 64 blobs in 16-byte units), otherwise into a block of its own. Graphic and
// OLE blobs are stored behind their 8-byte frame, the leader holding the picture's first
// bytes. A protected table's whole .MB is encrypted with its key. A blob that the source
// shared between records (one storage identity, see TvxFieldValue) is written once and
// shared again, when it has a block of its own; a block goes out in pieces, never copied
// whole. Throws EvxEngineError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/paradox/ParadoxCrypt.h"
#include "db/paradox/ParadoxTableHeader.h"
#include "db/paradox/ParadoxWriterFiles.h"

namespace morvane {

class ParadoxBlobWriter
{
public:
    ParadoxBlobWriter(ParadoxWriterFiles& files, std::string path, std::optional<ParadoxCipher> cipher);

    // Fills the field's slot (field.length() bytes: leader, then the 10-byte tail) for bytes.
    // Empty bytes give a blank slot. storageId: the value's TvxFieldValue::storageId (0: none).
    // Fails (false, why) for a blob too large for the file.
    bool store(const ParadoxField& field, std::string_view bytes, std::uint64_t storageId, std::uint8_t* slot,
               std::string& why);
    // Blobs written to the file so far, and the slots that share one written before.
    std::uint64_t stored() const { return stored_; }
    std::uint64_t shared() const { return shared_; }
    void finish();

private:
    struct Placed
    {
        std::uint32_t pointer; // block offset with the slot, as a record's tail holds it
        std::uint32_t length;
    };

    void writeBlock(std::vector<std::uint8_t>& block, std::uint64_t offset);
    // A block of its own for the blob (frame, then bytes); false (why) when the file is full.
    bool writeSingle(std::string_view frame, std::string_view bytes, std::uint8_t* tail, std::string& why);
    void flushSuballocated();

    ParadoxOutputFile file_;
    std::optional<ParadoxCipher> cipher_;
    std::uint64_t end_ = 0; // next free offset (a multiple of 4 KiB)
    // The sub-allocated block being filled.
    std::vector<std::uint8_t> sub_;
    std::uint64_t subOffset_ = 0;
    std::size_t subSlots_ = 0;
    std::size_t subUnit_ = 0;
    std::uint64_t stored_ = 0;
    std::uint64_t shared_ = 0;
    // Blobs with a block of their own by storage identity (the others are small: at most
    // 2 KiB again, and remembering them would cost more than a block's share).
    std::unordered_map<std::uint64_t, Placed> placed_;
};

} // namespace morvane
