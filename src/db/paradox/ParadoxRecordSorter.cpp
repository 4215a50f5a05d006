#include "db/paradox/ParadoxRecordSorter.h"

#include <algorithm>
#include <cstring>
#include <queue>
#include <unistd.h>

namespace morvane {

namespace {

constexpr std::size_t IoBufferBytes = 256 * 1024;
constexpr std::size_t ChunkBytes = 1 << 20;

} // namespace

// A run file read back in buffered pieces.
struct ParadoxRecordSorter::Run
{
    Run(ParadoxWriterFiles& files, const std::string& path, std::size_t recordBytes)
        : files(files), path(path), recordBytes(recordBytes), fd(files.openForReading(path))
    {
        buffer.resize(std::max<std::size_t>(1, IoBufferBytes / recordBytes) * recordBytes);
    }
    ~Run() { ::close(fd); } // read only: nothing to report
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // The current record, or null at the end.
    const std::uint8_t* current()
    {
        if (pos == filled) {
            filled = files.readAt(fd, buffer.data(), buffer.size(), offset, path);
            filled -= filled % recordBytes;
            offset += filled;
            pos = 0;
            if (filled == 0)
                return nullptr;
        }
        return buffer.data() + pos;
    }
    void advance() { pos += recordBytes; }

    ParadoxWriterFiles& files;
    std::string path;
    std::size_t recordBytes;
    int fd;
    std::vector<std::uint8_t> buffer;
    std::size_t pos = 0;
    std::size_t filled = 0;
    std::uint64_t offset = 0;
};

ParadoxRecordSorter::ParadoxRecordSorter(std::size_t recordBytes, ParadoxKeyOrder order, std::size_t memoryBytes,
                                         ParadoxWriterFiles& files, std::string workDir, std::string name)
    : recordBytes_(std::max<std::size_t>(1, recordBytes)), order_(std::move(order)),
      capacity_(std::max<std::size_t>(1, memoryBytes / (recordBytes_ + sizeof(Slot) + sizeof(void*) +
                                                          8 * (ParadoxKeyOrder::PrefixWords - 1)))),
      files_(files), workDir_(std::move(workDir)), name_(std::move(name)),
      chunkRecords_(std::max<std::size_t>(1, ChunkBytes / recordBytes_))
{
}

ParadoxRecordSorter::~ParadoxRecordSorter()
{
    for (const auto& r : runs_)
        files_.remove(r);
}

void ParadoxRecordSorter::add(const std::uint8_t* record)
{
    if (batchRecords_ == chunks_.size() * chunkRecords_)
        chunks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(chunkRecords_ * recordBytes_));
    std::uint8_t* to = chunks_[batchRecords_ / chunkRecords_].get() + (batchRecords_ % chunkRecords_) * recordBytes_;
    std::memcpy(to, record, recordBytes_);
    if (batchRecords_ == 0)
        inOrder_ = true;
    else if (inOrder_)
        inOrder_ = order_.compare(this->record(batchRecords_ - 1), to) <= 0;
    ++batchRecords_;
    ++count_;
    if (batchRecords_ >= capacity_)
        spill();
}

void ParadoxRecordSorter::sortBatch()
{
    const std::size_t n = batchRecords_;
    sorted_.resize(n);
    if (inOrder_) { // a copy of a keyed table gives its records in key order
        for (std::size_t i = 0; i < n; ++i)
            sorted_[i] = record(i);
        return;
    }
    // Records are sorted by their keys' first bytes as whole words, the full comparison only
    // where those agree, the order of adding last (a stable sort).
    constexpr std::size_t words = ParadoxKeyOrder::PrefixWords;
    slots_.resize(n);
    rest_.resize(n * (words - 1));
    std::uint64_t prefix[words];
    for (std::size_t i = 0; i < n; ++i) {
        order_.prefix(record(i), prefix);
        slots_[i] = {prefix[0], static_cast<std::uint32_t>(i)};
        std::copy(prefix + 1, prefix + words, &rest_[i * (words - 1)]);
    }
    std::sort(slots_.begin(), slots_.end(), [&](const Slot& a, const Slot& b) {
        if (a.first != b.first)
            return a.first < b.first;
        const std::uint64_t* ra = &rest_[a.position * (words - 1)];
        const std::uint64_t* rb = &rest_[b.position * (words - 1)];
        for (std::size_t w = 0; w + 1 < words; ++w)
            if (ra[w] != rb[w])
                return ra[w] < rb[w];
        const int d = order_.compare(record(a.position), record(b.position));
        return d != 0 ? d < 0 : a.position < b.position;
    });
    for (std::size_t i = 0; i < n; ++i)
        sorted_[i] = record(slots_[i].position);
    slots_.clear();
    rest_.clear();
}

void ParadoxRecordSorter::clearBatch()
{
    batchRecords_ = 0;
    sorted_.clear();
}

void ParadoxRecordSorter::spill()
{
    if (batchRecords_ == 0)
        return;
    sortBatch();
    const std::string path = workDir_ + "/" + name_ + ".run" + std::to_string(runs_.size());
    ParadoxOutputFile out(files_, path);
    runs_.push_back(path);
    std::vector<std::uint8_t> chunk;
    chunk.reserve(IoBufferBytes + recordBytes_);
    for (const std::uint8_t* r : sorted_) {
        chunk.insert(chunk.end(), r, r + recordBytes_);
        if (chunk.size() >= IoBufferBytes) {
            out.append(chunk.data(), chunk.size());
            chunk.clear();
        }
    }
    if (!chunk.empty())
        out.append(chunk.data(), chunk.size());
    out.finish();
    clearBatch();
}

void ParadoxRecordSorter::drain(const std::function<void(const std::uint8_t*)>& each)
{
    if (runs_.empty()) {
        sortBatch();
        for (const std::uint8_t* r : sorted_)
            each(r);
    } else {
        spill();
        std::vector<std::unique_ptr<Run>> runs;
        for (const auto& path : runs_)
            runs.push_back(std::make_unique<Run>(files_, path, recordBytes_));
        // Heap of run numbers by their current record; ties go to the earlier run.
        const auto later = [&](std::size_t a, std::size_t b) {
            const int d = order_.compare(runs[a]->current(), runs[b]->current());
            return d != 0 ? d > 0 : a > b;
        };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> heap(later);
        for (std::size_t i = 0; i < runs.size(); ++i)
            if (runs[i]->current())
                heap.push(i);
        while (!heap.empty()) {
            const std::size_t i = heap.top();
            heap.pop();
            each(runs[i]->current());
            runs[i]->advance();
            if (runs[i]->current())
                heap.push(i);
        }
        runs.clear();
        for (const auto& r : runs_)
            files_.remove(r);
        runs_.clear();
    }
    clearBatch();
    chunks_.clear();
    count_ = 0;
}

} // namespace morvane
