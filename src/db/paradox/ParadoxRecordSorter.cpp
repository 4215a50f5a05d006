#include "db/paradox/ParadoxRecordSorter.h"

#include <algorithm>
#include <queue>
#include <unistd.h>

namespace morvane {

namespace {

constexpr std::size_t IoBufferBytes = 256 * 1024;
constexpr std::size_t InitialRecords = 16384;

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
      capacity_(std::max<std::size_t>(1, memoryBytes / (recordBytes_ + sizeof(Slot) + sizeof(std::uint32_t)))),
      files_(files),
      workDir_(std::move(workDir)), name_(std::move(name))
{
}

ParadoxRecordSorter::~ParadoxRecordSorter()
{
    for (const auto& r : runs_)
        files_.remove(r);
}

void ParadoxRecordSorter::add(const std::uint8_t* record)
{
    if (batch_.empty()) {
        batch_.reserve(std::min<std::size_t>(capacity_, InitialRecords) * recordBytes_);
        inOrder_ = true;
    } else if (inOrder_) {
        inOrder_ = order_.compare(&batch_[batch_.size() - recordBytes_], record) <= 0;
    }
    batch_.insert(batch_.end(), record, record + recordBytes_);
    ++count_;
    if (batch_.size() / recordBytes_ >= capacity_)
        spill();
}

void ParadoxRecordSorter::sortBatch()
{
    // Records are sorted by their keys' first bytes as whole words, the full comparison only
    // where those agree, the order of adding last (a stable sort).
    const std::size_t n = batch_.size() / recordBytes_;
    if (inOrder_) { // a copy of a keyed table gives its records in key order
        positions_.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            positions_[i] = static_cast<std::uint32_t>(i);
        return;
    }
    const std::uint8_t* base = batch_.data();
    const std::size_t rb = recordBytes_;
    slots_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        order_.prefix(base + i * rb, slots_[i].prefix);
        slots_[i].position = static_cast<std::uint32_t>(i);
    }
    std::sort(slots_.begin(), slots_.end(), [&](const Slot& a, const Slot& b) {
        for (std::size_t w = 0; w < ParadoxKeyOrder::PrefixWords; ++w)
            if (a.prefix[w] != b.prefix[w])
                return a.prefix[w] < b.prefix[w];
        const int d = order_.compare(base + a.position * rb, base + b.position * rb);
        return d != 0 ? d < 0 : a.position < b.position;
    });
    positions_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        positions_[i] = slots_[i].position;
    slots_.clear();
}

void ParadoxRecordSorter::spill()
{
    if (batch_.empty())
        return;
    sortBatch();
    const std::string path = workDir_ + "/" + name_ + ".run" + std::to_string(runs_.size());
    ParadoxOutputFile out(files_, path);
    runs_.push_back(path);
    std::vector<std::uint8_t> chunk;
    chunk.reserve(IoBufferBytes + recordBytes_);
    for (std::uint32_t p : positions_) {
        const std::uint8_t* r = batch_.data() + static_cast<std::size_t>(p) * recordBytes_;
        chunk.insert(chunk.end(), r, r + recordBytes_);
        if (chunk.size() >= IoBufferBytes) {
            out.append(chunk.data(), chunk.size());
            chunk.clear();
        }
    }
    if (!chunk.empty())
        out.append(chunk.data(), chunk.size());
    out.finish();
    batch_.clear();
    positions_.clear();
}

void ParadoxRecordSorter::drain(const std::function<void(const std::uint8_t*)>& each)
{
    if (runs_.empty()) {
        sortBatch();
        for (std::uint32_t p : positions_)
            each(batch_.data() + static_cast<std::size_t>(p) * recordBytes_);
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
    batch_.clear();
    positions_.clear();
    count_ = 0;
}

} // namespace morvane
