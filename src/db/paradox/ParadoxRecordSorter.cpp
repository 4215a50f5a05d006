#include "db/paradox/ParadoxRecordSorter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <queue>
#include <stdexcept>
#include <utility>

#include "platform/vxFileIo.h"

namespace morvane {

namespace {

constexpr std::size_t IoBufferBytes = 256 * 1024;
constexpr std::size_t ChunkBytes = 1 << 20;
constexpr std::size_t SmallRange = 96; // sorted by comparison

} // namespace

// A run file read back in buffered pieces.
struct ParadoxRecordSorter::Run
{
    Run(ParadoxWriterFiles& files, const std::string& path, std::size_t recordBytes)
        : files(files), path(path), recordBytes(recordBytes), fd(files.openForReading(path))
    {
        buffer.resize(std::max<std::size_t>(1, IoBufferBytes / recordBytes) * recordBytes);
    }
    ~Run() { vxCloseFile(fd); } // read only: nothing to report
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
    TvxFileHandle fd;
    std::vector<std::uint8_t> buffer;
    std::size_t pos = 0;
    std::size_t filled = 0;
    std::uint64_t offset = 0;
};

ParadoxRecordSorter::ParadoxRecordSorter(std::size_t recordBytes, ParadoxKeyOrder order, std::size_t memoryBytes,
                                         ParadoxWriterFiles& files, std::string workDir, std::string name)
    : recordBytes_(std::max<std::size_t>(1, recordBytes)), order_(std::move(order)),
      capacity_(std::max<std::size_t>(1, memoryBytes / (recordBytes_ + 2 * sizeof(Slot)))), files_(files),
      workDir_(std::move(workDir)), name_(std::move(name)),
      chunkShift_(std::bit_width(std::max<std::size_t>(1, ChunkBytes / recordBytes_)) - 1),
      chunkRecords_(std::size_t{1} << chunkShift_), differ_(recordBytes_ / 8 + 1, 0),
      tailStart_(recordBytes_ >= 8 ? recordBytes_ - 8 : 0)
{
}

ParadoxRecordSorter::~ParadoxRecordSorter()
{
    for (const auto& r : runs_)
        files_.remove(r);
}

void ParadoxRecordSorter::add(const std::uint8_t* record)
{
    std::memcpy(room(), record, recordBytes_);
    add();
}

std::uint8_t* ParadoxRecordSorter::room()
{
    if (batchRecords_ == chunks_.size() * chunkRecords_)
        chunks_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(chunkRecords_ * recordBytes_));
    return const_cast<std::uint8_t*>(record(batchRecords_));
}

void ParadoxRecordSorter::add()
{
    const std::uint8_t* to = record(batchRecords_);
    if (batchRecords_ == 0)
        inOrder_ = true;
    else if (inOrder_)
        inOrder_ = order_.compare(this->record(batchRecords_ - 1), to) <= 0;
    noteDiffering(to);
    ++batchRecords_;
    ++count_;
    sorted_ = false;
    if (batchRecords_ >= capacity_)
        spill();
}

// One sort of the batch's places by a key order.
class ParadoxRecordSorter::Sorting
{
public:
    Sorting(const ParadoxRecordSorter& batch, const ParadoxKeyOrder& order) : b_(batch), order_(order) {}

    std::unique_ptr<Slot[]> run()
    {
        const std::size_t n = b_.batchRecords_;
        findVarying();
        slots_ = std::make_unique_for_overwrite<Slot[]>(n);
        scratch_ = std::make_unique_for_overwrite<Slot[]>(n);
        for (std::size_t c = 0, i = 0; i < n; ++c) {
            const std::uint8_t* r = b_.chunks_[c].get();
            for (const std::size_t end = std::min(n, i + b_.chunkRecords_); i < end; ++i, r += b_.recordBytes_)
                slots_[i] = {word(r, 0), static_cast<std::uint32_t>(i)};
        }
        sortSlots(0, n, 0);
        scratch_.reset();
        return std::move(slots_);
    }

private:
    // The bytes of the key (as the order sees it) that differ between records of the batch
    // (the others cannot tell two records apart): where each comes from in the record, its
    // capitals table (null: taken as it is) and its inverting mask.
    struct KeyByte
    {
        std::uint32_t source;
        std::uint8_t flip;
        const std::uint8_t* fold;
    };

    const std::uint8_t* record(std::size_t i) const { return b_.record(i); }

    void findVarying()
    {
        // A byte of the key as the order sees it depends on one byte of the record alone:
        // where that byte is the same in every record, so is the key's.
        for (std::size_t at = 0; at < order_.keyBytes(); ++at)
            if (b_.differs(order_.sourceOf(at)))
                varying_.push_back(
                    {static_cast<std::uint32_t>(order_.sourceOf(at)), order_.flipOf(at), order_.mapOf(at)});
    }

    // Word k of the record's varying key bytes, big-endian, zero past their end.
    std::uint64_t word(const std::uint8_t* record, std::size_t k) const
    {
        const std::size_t from = 8 * k;
        const std::size_t to = std::min(from + 8, varying_.size());
        std::uint64_t v = 0;
        for (const KeyByte* b = varying_.data() + from; b != varying_.data() + to; ++b) {
            const std::uint8_t c = record[b->source];
            v = v << 8 | static_cast<std::uint8_t>((b->fold ? b->fold[c] : c) ^ b->flip);
        }
        return to >= from + 8 ? v : to > from ? v << (8 * (from + 8 - to)) : 0;
    }

    // Sorts slots [from, to), whose records agree on the varying key bytes before word k and
    // hold word k, by their keys, then by their places in the batch (which they are in on
    // entry: every step keeps the order of equal words): by the word, then each run of one
    // word by the next word; small ranges by comparison.
    void sortSlots(std::size_t from, std::size_t to, std::size_t k)
    {
        Slot* const a = slots_.get() + from;
        const std::size_t n = to - from;
        if (n < 2)
            return;
        if (n < SmallRange) {
            std::sort(a, a + n, [&](const Slot& x, const Slot& y) {
                if (x.word != y.word)
                    return x.word < y.word;
                const int d = order_.compare(record(x.position), record(y.position));
                return d != 0 ? d < 0 : x.position < y.position;
            });
            return;
        }
        sortByWord(a, scratch_.get() + from, n);
        if (8 * (k + 1) >= varying_.size())
            return; // equal words: equal keys, left in their order
        constexpr std::size_t Ahead = 8;
        for (std::size_t i = 0; i < n;) {
            std::size_t j = i + 1;
            while (j < n && a[j].word == a[i].word)
                ++j;
            if (j - i > 1) {
                for (std::size_t m = i; m < j; ++m) {
                    if (m + Ahead < j)
                        __builtin_prefetch(record(a[m + Ahead].position));
                    a[m].word = word(record(a[m].position), k + 1);
                }
                sortSlots(from + i, from + j, k + 1);
            }
            i = j;
        }
    }

    // A stable sort of n slots by their words (other: room for as many): radix passes, one per
    // byte that differs between them, least significant first.
    static void sortByWord(Slot* a, Slot* other, std::size_t n)
    {
        if (n < SmallRange) {
            std::stable_sort(a, a + n, [](const Slot& x, const Slot& y) { return x.word < y.word; });
            return;
        }
        std::uint64_t differ = 0;
        for (std::size_t i = 1; i < n; ++i)
            differ |= a[i].word ^ a[0].word;
        std::size_t bytes[8];
        std::size_t passes = 0;
        for (std::size_t b = 0; b < 8; ++b)
            if ((differ >> (8 * b)) & 0xFF)
                bytes[passes++] = b;
        if (passes == 0)
            return;
        std::vector<std::uint32_t> counts(passes * 256, 0);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t p = 0; p < passes; ++p)
                ++counts[p * 256 + ((a[i].word >> (8 * bytes[p])) & 0xFF)];
        Slot* in = a;
        Slot* out = other;
        for (std::size_t p = 0; p < passes; ++p) {
            std::uint32_t* c = &counts[p * 256];
            std::uint32_t sum = 0;
            for (std::size_t v = 0; v < 256; ++v)
                sum += std::exchange(c[v], sum);
            const std::size_t shift = 8 * bytes[p];
            for (std::size_t i = 0; i < n; ++i)
                out[c[(in[i].word >> shift) & 0xFF]++] = in[i];
            std::swap(in, out);
        }
        if (in != a)
            std::copy(in, in + n, a);
    }

    const ParadoxRecordSorter& b_;
    const ParadoxKeyOrder& order_;
    std::vector<KeyByte> varying_;
    std::unique_ptr<Slot[]> slots_;
    std::unique_ptr<Slot[]> scratch_; // the other side of each radix pass
};

void ParadoxRecordSorter::noteDiffering(const std::uint8_t* r)
{
    const std::uint8_t* first = record(0);
    const std::size_t words = differ_.size() - 1;
    const auto load = [](const std::uint8_t* p) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    };
    for (std::size_t w = 0; w < words; ++w)
        differ_[w] |= load(r + 8 * w) ^ load(first + 8 * w);
    if (recordBytes_ >= 8) {
        differ_[words] |= load(r + tailStart_) ^ load(first + tailStart_);
    } else {
        for (std::size_t b = 0; b < recordBytes_; ++b)
            differ_[words] |= std::uint64_t{static_cast<std::uint8_t>(r[b] ^ first[b])} << (8 * b);
    }
}

bool ParadoxRecordSorter::differs(std::size_t byte) const
{
    const std::size_t words = differ_.size() - 1;
    const auto bits = [](std::uint64_t word, std::size_t at) {
        std::uint8_t b[8];
        std::memcpy(b, &word, 8);
        return b[at] != 0;
    };
    if (byte < 8 * words)
        return bits(differ_[byte / 8], byte % 8);
    if (recordBytes_ >= 8)
        return bits(differ_[words], byte - tailStart_);
    return ((differ_[words] >> (8 * byte)) & 0xFF) != 0;
}

void ParadoxRecordSorter::sortBatch()
{
    inOrder_ = inOrder_ || batchRecords_ < 2;
    if (!inOrder_) // a copy of a keyed table gives its records in key order
        slots_ = Sorting(*this, order_).run();
}

void ParadoxRecordSorter::sortInMemory()
{
    if (!runs_.empty())
        throw std::logic_error("ParadoxRecordSorter::sortInMemory: records on disk");
    if (!sorted_)
        sortBatch();
    sorted_ = true;
}

void ParadoxRecordSorter::clearBatch()
{
    batchRecords_ = 0;
    std::fill(differ_.begin(), differ_.end(), 0);
    slots_.reset();
    sorted_ = false;
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
    for (std::size_t i = 0; i < batchRecords_; ++i) {
        const std::uint8_t* r = sorted(i);
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

bool ParadoxRecordSorter::keepInputOrder()
{
    if (!runs_.empty())
        return false;
    inOrder_ = true;
    return true;
}

void ParadoxRecordSorter::drain(const std::function<void(const std::uint8_t*)>& each)
{
    if (runs_.empty()) {
        sortInMemory();
        // The records are scattered over the batch: ask for them a little ahead.
        constexpr std::size_t Ahead = 8;
        for (std::size_t i = 0; i < batchRecords_; ++i) {
            if (i + Ahead < batchRecords_) {
                const std::uint8_t* r = sorted(i + Ahead);
                __builtin_prefetch(r);
                __builtin_prefetch(r + recordBytes_ - 1);
            }
            each(sorted(i));
        }
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
