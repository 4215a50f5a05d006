#pragma once
// The .MB file of a table and the blob slots of its records. A blob that fits the field's
// leader stays in the record; a longer one goes to the .MB: below 2 KiB into a sub-allocated
// block (up to 64 blobs in 16-byte units), otherwise into a block of its own. Graphic and
// OLE blobs are stored behind their 8-byte frame, the leader holding the picture's first
// bytes. A protected table's whole .MB is encrypted with its key. Throws EvxEngineError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
    // Empty bytes give a blank slot. Fails (false, why) for a blob too large for the file.
    bool store(const ParadoxField& field, std::string_view bytes, std::uint8_t* slot, std::string& why);
    // Blobs written to the file so far.
    std::uint64_t stored() const { return stored_; }
    void finish();

private:
    void writeBlock(std::vector<std::uint8_t>& block, std::uint64_t offset);
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
};

} // namespace morvane
