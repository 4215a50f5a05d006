#pragma once
// Sorts fixed-size records by a key order with bounded memory: records are kept in memory up
// to memoryBytes; beyond that each full batch is sorted and written as a run file into a
// working directory, and the runs are merged while they are read back. Records that compare
// equal come out in the order they were added. Throws EvxEngineError from the file calls.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "db/paradox/ParadoxKeyOrder.h"
#include "db/paradox/ParadoxWriterFiles.h"

namespace morvane {

class ParadoxRecordSorter
{
public:
    // workDir: where run files go (removed once merged); name: their prefix.
    ParadoxRecordSorter(std::size_t recordBytes, ParadoxKeyOrder order, std::size_t memoryBytes,
                        ParadoxWriterFiles& files, std::string workDir, std::string name);
    ~ParadoxRecordSorter();
    ParadoxRecordSorter(const ParadoxRecordSorter&) = delete;
    ParadoxRecordSorter& operator=(const ParadoxRecordSorter&) = delete;

    void add(const std::uint8_t* record);
    // Room for the next record: filled there, it is kept by add() (a copy less).
    std::uint8_t* room();
    void add();
    std::uint64_t count() const { return count_; }
    // Number of run files written so far.
    std::size_t runs() const { return runs_.size(); }

    // With every record in memory (no run): sorts them now, so that drain does not; it only
    // touches this sorter, and may run on another thread while others are used.
    void sortInMemory();

    // With every record in memory: drain gives them in the order they were added. False (and
    // nothing changes) once runs were written.
    bool keepInputOrder();

    // Calls each with every record in order, once; the sorter is empty afterwards.
    void drain(const std::function<void(const std::uint8_t*)>& each);

private:
    struct Run;
    // Record i of the batch, and record i of the batch in order once sorted.
    const std::uint8_t* record(std::size_t i) const
    {
        return chunks_[i >> chunkShift_].get() + (i & (chunkRecords_ - 1)) * recordBytes_;
    }
    const std::uint8_t* sorted(std::size_t i) const { return record(inOrder_ ? i : slots_[i].position); }
    class Sorting;
    void noteDiffering(const std::uint8_t* record);
    bool differs(std::size_t byte) const;
    void sortBatch();
    void spill();
    void clearBatch();

    std::size_t recordBytes_;
    ParadoxKeyOrder order_;
    std::size_t capacity_; // records per batch
    ParadoxWriterFiles& files_;
    std::string workDir_;
    std::string name_;
    // The batch in chunks of chunkRecords_ (a power of two) records: growing it never moves a
    // record.
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::size_t chunkShift_;
    std::size_t chunkRecords_;
    std::size_t batchRecords_ = 0;
    // What a sort moves: a word of the key's bytes that differ between records and the
    // record's place in the batch.
    struct Slot
    {
        std::uint64_t word;
        std::uint32_t position;
    };
    std::unique_ptr<Slot[]> slots_; // the batch in order once sorted (unless inOrder_)
    // Which bytes differ between records of the batch, kept as they are added: bit-wise XOR of
    // each record with the first, ORed, a word per eight bytes; the last word covers the
    // record's last eight bytes (all of it when shorter).
    std::vector<std::uint64_t> differ_;
    std::size_t tailStart_; // the record byte the last word starts at
    std::vector<std::string> runs_;
    std::uint64_t count_ = 0;
    bool inOrder_ = true; // the batch came in order: nothing to sort
    bool sorted_ = false; // the batch is sorted in memory
};

} // namespace morvane
