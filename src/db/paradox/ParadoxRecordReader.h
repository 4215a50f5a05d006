#pragma once
// The records of a Paradox table (.DB, levels 3.0 to 7, any block size), in the order of its
// data-block chain, decoded into the model's values; blob data comes from the table's .MB.
// Memory stays constant: a window of blocks and one blob at a time; the record passed to
// Next keeps its storage from call to call. A blob from the .MB carries the identity of its
// place there (TvxFieldValue::storageId), unique to this reader.
//
// Faults are EvxEngineError(vxErrInvalidFile) naming the file and the fault, never a guess:
//  - of the structure (a block outside the file or past the header's block count, a chain that
//    loops, a block whose record count is impossible or cut short, a record count that
//    disagrees with the header): this Next and every later one throw;
// A BCD value with sound leading digits and a tail of non-digits (what the engine leaves past
// its precision) reads its digits up to the first non-digit; a note names the field, once.
//  - of values (a BCD whose first digit is not one, a non-finite number, a blob pointer or length the
//    .MB does not hold, a missing .MB): the record is filled, those values blank, and this
//    Next throws (for the first of them) after passing it; the next call continues with the
//    following record.

#include "db/EvxEngineError.h"
#include "db/IvxRecordSource.h"
#include "db/paradox/ParadoxBlobFile.h"
#include "db/paradox/ParadoxByteSource.h"
#include "db/paradox/ParadoxCrypt.h"
#include "db/paradox/ParadoxTableHeader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace morvane {

class ParadoxRecordReader : public IvxRecordSource
{
public:
    // db: the .DB file; mb: its .MB file, or null when there is none. key: the checksum of the
    // password that was checked for the table (0 for an unprotected one); a protected table
    // read with another key throws EvxEngineError(vxErrPasswordRequired). A header that does
    // not parse, or a file that is not a table, throws vxErrInvalidFile.
    ParadoxRecordReader(std::unique_ptr<ParadoxByteSource> db, std::unique_ptr<ParadoxByteSource> mb,
                        std::uint32_t key);
    ~ParadoxRecordReader() override;

    const ParadoxTableHeader& Header() const { return header_; }
    bool Next(TvxRecord& record) override;
    bool Resumable() const override { return !failure_; }
    std::vector<std::string> TakeNotes() override { return std::move(notes_); }
    // Records passed so far (those that failed included).
    std::uint64_t RecordsRead() const { return delivered_; }

private:
    enum class Decode : std::uint8_t;
    struct Field;

    bool nextBlock();
    const std::uint8_t* loadBlock(std::uint32_t number, std::size_t& available);
    void decode(const std::uint8_t* record, TvxRecord& out);
    void decodeField(const Field& f, const std::uint8_t* p, TvxFieldValue& value);
    void readBlob(const Field& f, const std::uint8_t* slot, TvxFieldValue& value);
    [[noreturn]] void failStructure(const std::string& what);
    EvxEngineError valueFault(const Field& f, const std::string& what) const;
    void noteImprecise(const Field& f);

    std::unique_ptr<ParadoxByteSource> db_;
    std::unique_ptr<ParadoxByteSource> mb_; // until the first blob outside its record
    std::unique_ptr<ParadoxBlobFile> blobs_;
    std::uint64_t blobIds_ = 0; // this reader's number, shifted above the place and framing
    ParadoxTableHeader header_;
    std::optional<ParadoxCipher> cipher_;
    std::vector<Field> fields_;
    std::size_t blockBytes_ = 0;

    // Blocks [windowFirst_, windowFirst_ + windowBlocks_) are in window_ (decrypted), the
    // last one windowTail_ bytes long.
    std::vector<std::uint8_t> window_;
    std::uint32_t windowFirst_ = 0;
    std::uint32_t windowBlocks_ = 0;
    std::size_t windowTail_ = 0;

    std::vector<std::uint64_t> visited_; // one bit per block of the file
    std::uint32_t nextBlock_ = 0;
    const std::uint8_t* blockRecords_ = nullptr;
    std::uint32_t blockCount_ = 0;
    std::uint32_t blockIndex_ = 0;
    std::uint64_t delivered_ = 0;
    std::vector<bool> impreciseNoted_; // by field
    std::vector<std::string> notes_;
    bool finished_ = false;
    std::optional<EvxEngineError> failure_;
};

} // namespace morvane
